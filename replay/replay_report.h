#pragma once

#include <optional>
#include <string>

#include "readers/country_file.h"
#include "readers/log_qso.h"
#include "report/report_input.h"

namespace velmora::replay {

// What the hand-over learns beside the plug-in: the QSOs it turned away and
// why, the calls without an entity, and the entities' names.
struct ReplayReportNotes {
  std::vector<RejectedQso> rejected;
  std::vector<UnknownCall> unknown;
  std::unordered_map<std::string, std::string> names;

  // One QSO as it was handed over with `own_call`; `stored` is what
  // AddData0 returned.
  void Note(const LogQso& qso, const std::optional<Entity>& entity, const std::string& own_call,
            bool stored);
};

// Writes the contest report of the plug-in's current log to `file` (replaced
// whole); false when it cannot be written.
bool WriteReplayReport(const std::string& file, ReplayReportNotes notes, const COleDateTime& start,
                       const COleDateTime& end, int break_minutes);

}  // namespace velmora::replay
