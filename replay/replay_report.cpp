#include "replay/replay_report.h"

#include "platform/posix/posix_file_system.h"
#include "report/report_page.h"
#include "plugin/module_instance.h"

namespace velmora::replay {

void ReplayReportNotes::Note(const LogQso& q, const std::optional<Entity>& entity,
                             const std::string& own_call, bool stored) {
  if (!entity) unknown.push_back({q.call, q.time});
  else if (!names.contains(entity->key)) names.emplace(entity->key, entity->name);
  if (stored) return;
  QsoArgs args;
  args.own_call = own_call;
  args.call = q.call;
  args.time = q.time;
  args.freq_hz = q.freq_hz;
  args.mode = q.mode;
  args.rst_sent = q.rst_sent;
  args.rst_rcvd = q.rst_rcvd;
  args.nr_sent = q.nr_sent;
  args.nr_rcvd = q.nr_rcvd;
  args.band = q.band;
  if (entity) args.prefix = entity->key, args.continent = entity->continent;
  rejected.push_back({args, ValidateQso(args)});
}

bool WriteReplayReport(const std::string& file, ReplayReportNotes notes, const COleDateTime& start,
                       const COleDateTime& end, int break_minutes) {
  ReportInput in = ReportInputOf(TheModule());
  in.start = start;
  in.end = end;
  in.rejected = std::move(notes.rejected);
  in.unknown = std::move(notes.unknown);
  in.entity_names = std::move(notes.names);
  in.break_minutes = break_minutes;
  const std::string page = RenderReportPage(BuildContestReport(std::move(in)));
  PosixFileSystem files;
  return files.ReplaceFile(file, page);
}

}  // namespace velmora::replay
