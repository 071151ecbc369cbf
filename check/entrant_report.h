#pragma once

#include <string>
#include <string_view>

#include "check/contest.h"
#include "check/standings.h"

namespace velmora::check {

// The entrant's report (reports/CALL.txt): its figures claimed and checked,
// its clock offset, every QSO the check took out or questioned with its own
// line and the other station's, the rulings, and how the QSOs others logged
// with it fared in its log. `logged_by` is its row of QsosLoggedBy.
std::string ReportText(const Contest& contest, std::size_t log,
                       const std::vector<std::pair<std::int32_t, std::int32_t>>& logged_by);

// A JSON string of `text`: valid UTF-8 passes through, other bytes and
// control characters are escaped (a stray byte as the Latin-1 character).
std::string JsonString(std::string_view text);

// The same content as JSON (reports/CALL.json).
std::string ReportJson(const Contest& contest, std::size_t log,
                       const std::vector<std::pair<std::int32_t, std::int32_t>>& logged_by);

}  // namespace velmora::check
