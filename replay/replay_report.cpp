#include "replay/replay_report.h"

#include "platform/posix/posix_file_system.h"
#include "report/report_page.h"
#include "plugin/module_instance.h"
#include "readers/qso_args_of.h"

namespace velmora::replay {

void ReplayReportNotes::Note(const LogQso& q, const std::optional<Entity>& entity,
                             const std::string& own_call, bool stored) {
  if (!entity) unknown.push_back({q.call, q.time});
  else if (!names.contains(entity->key)) names.emplace(entity->key, entity->name);
  if (stored) return;
  QsoArgs args = readers::QsoArgsOf(q, own_call, entity);
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
