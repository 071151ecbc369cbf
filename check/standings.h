#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "check/contest.h"

namespace velmora::check {

// One line of the results: an entrant and its rank within its category.
struct Standing {
  std::size_t log = 0;
  int rank = 0;
  int nil = 0, busted = 0, bad_exchange = 0, unique = 0, counted = 0;
};

// Categories in name order; within one, the checked score from the highest,
// ties by call.
std::vector<Standing> RankEntrants(const Contest& contest);

// Per log, the QSO lines of the other logs that name its call: (log, qso).
using LoggedBy = std::vector<std::vector<std::pair<std::int32_t, std::int32_t>>>;
LoggedBy QsosLoggedBy(const Contest& contest);

// The name of an entrant's report without its extension: the call with '/'
// as '_'.
std::string ReportName(const std::string& call);

// The reduction from the claimed to the checked score, in percent with one
// decimal ("4.5"); "0.0" for a claimed score of 0.
std::string ReductionPercent(long long claimed, long long checked);

// The time of a QSO as the reports write it ("2017-06-03 1432").
std::string QsoTime(const CheckQso& q);
const char* BandName(std::uint8_t band);

}  // namespace velmora::check
