#pragma once

#include <cstdint>
#include <vector>

#include "check/contest_index.h"

namespace velmora::check {

// What a log's time differences against its partners say about its clock.
struct OffsetFinding {
  int offset = 0;    // minutes; 0 when too few were measured or it is jitter
  int pairs = 0;     // differences measured
  int agreeing = 0;  // of them within the jitter of the offset
};

// The true median of the differences (of an even count, the mean of the two
// middle ones, towards 0), when at least three were measured and it is at
// least 2 minutes (less is the jitter of clocks read to the minute).
OffsetFinding MeasureOffset(std::vector<std::int64_t> differences);

// Each log's clock offset, settled one clear outlier at a time: every round
// measures the logs not yet settled against their partners' offsets, and
// settles the clearest (most differences agreeing, then the largest offset)
// together with every other one that is no partner of a log settled in the
// round, so each settled offset was measured against partners that stay.
// A log is settled once: the rounds end after at most one per log.
void FindClockOffsets(Contest& contest, const std::vector<Index>& indexes, int jobs);

}  // namespace velmora::check
