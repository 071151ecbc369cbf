#pragma once

#include <cstdint>
#include <optional>

#include "check/contest.h"

namespace velmora::check {

// Minutes beyond either end of the contest period within which a line is
// kept when its partner lies inside: the jitter of a clock read to the
// minute.
constexpr std::int64_t kPeriodEdgeMinutes = 1;

// Places every line the plug-in stored against the contest period, on its
// time with the log's clock offset taken out. The period is start..end
// (inclusive); a missing end is the earliest or latest such time of all logs.
void MarkPeriod(Contest& contest, std::optional<std::int64_t> start,
                std::optional<std::int64_t> end);

// After the assignment: a line at an edge stays when its partner lies inside
// the period; else it is outside, and so is a partner at an edge too.
void SettleEdges(Contest& contest);

}  // namespace velmora::check
