#pragma once

#include <optional>
#include <string>
#include <vector>

#include "robot/organiser_store.h"
#include "robot/submissions_view.h"

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
// One page of the submissions, under the form that picks the call and the
// links to the other pages; each decision form brings the organiser back to it.
std::string SubmissionsPage(const SubmissionsSlice& slice, const std::string& csrf);
// A view that cannot be shown: the form with the call as typed, what is wrong,
// and a link on (`link` is one of SubmissionsLink's).
std::string SubmissionsRefusedPage(const std::string& call, const std::string& problem,
                                   const std::string& link, const std::string& link_text);
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
