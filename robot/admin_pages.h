#pragma once

#include <optional>
#include <string>
#include <vector>

#include "robot/organiser_store.h"

namespace velmora::robot {

// The organisers' console, plain HTML like the entrants' pages. Every form
// that changes something carries the session's CSRF token.
std::string LoginPage(const std::string& notice);

struct ConsoleState {
  std::optional<std::int64_t> closed_at, close_time, published_run;
  int calls = 0, versions = 0;
  std::string organiser;
};
std::string ConsolePage(const ConsoleState& state, const std::string& csrf);
std::string SubmissionsPage(const std::vector<VersionState>& versions, const std::string& csrf);
std::string MissingPage(const std::vector<MissingLog>& missing, int threshold);
std::string RulingsPage(const std::vector<RulingRecord>& rulings, const std::string& csrf,
                        const std::string& notice);
std::string RunsPage(const std::vector<RunRecord>& runs, std::optional<std::int64_t> published,
                     const std::string& csrf);

// The entrant's own report: the text as the check wrote it, with the links to
// its text and JSON files.
std::string ReportPage(const std::string& call, const std::string& report_text,
                       const std::string& token);

}  // namespace velmora::robot
