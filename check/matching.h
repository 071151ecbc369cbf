#pragma once

#include <cstdint>
#include <optional>

#include "check/contest.h"

namespace velmora::check {

struct MatchOptions {
  int window_minutes = 5;      // the largest time difference of a match
  bool clock_offsets = true;   // find and take out each log's clock offset
  std::optional<std::int64_t> start, end;  // the contest period in minutes, inclusive
  int jobs = 1;                // threads
};

// Judges every QSO line of the contest: clock offsets, the contest period,
// the matching of each QSO with the partner's log, then wrong bands, busted
// calls, NILs, uniques and unverified QSOs. Fills Contest::log_of_call,
// Contest::holders and each entrant's offset; verdicts go into the QSOs.
// Two logs of one call must have been resolved before.
void JudgeContest(Contest& contest, const MatchOptions& options);

// The offset a log's time differences against its partners give: their
// median, when at least three were measured and it is at least 2 minutes
// (less is the jitter of clocks read to the minute); else 0.
int OffsetFromDifferences(std::vector<std::int64_t>& differences);

}  // namespace velmora::check
