#pragma once

#include <cstdint>
#include <optional>

#include "check/contest.h"
#include "check/inferred_busts.h"

namespace velmora::check {

struct MatchOptions {
  int window_minutes = 5;      // the largest time difference of a match
  int serial_window_minutes = 30;  // ... of a match that a serial copied as sent tells
  bool clock_offsets = true;   // find and take out each log's clock offset
  std::optional<std::int64_t> start, end;  // the contest period in minutes, inclusive
  int jobs = 1;                // threads
  InferOptions infer;          // busts of calls whose log is missing or silent
  KnownCalls known;            // calls known to be real stations
};

// Judges every QSO line of the contest, in this order: the calls' logs and
// holders, the clock offsets, the contest period (on corrected times), the
// check's dupe rule over the lines in the period, the one exclusive
// assignment of lines to partners (matches, wrong bands, busted calls), the
// lines at the period's edges, the dupes settled on what was confirmed, the
// busts told by the contest's own figures, and each line's verdict. Fills
// Contest::log_of_call, Contest::holders, Contest::evidence and each entrant's
// offset. Two logs of one call must have been resolved before.
void JudgeContest(Contest& contest, const MatchOptions& options);

// Contest::log_of_call and Contest::holders.
void MapCalls(Contest& contest);

// Each line's verdict from its period, dupe rule and partner.
void GiveVerdicts(Contest& contest);

}  // namespace velmora::check
