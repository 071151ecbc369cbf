#pragma once

#include <vector>

#include "check/contest_index.h"

// The assignment of lines to the lines of other logs that explain them: one
// exclusive assignment (a line explains at most one other), in three tiers
// over the lines still free: the same QSO in the worked station's log, then
// the same QSO logged on another band, then a busted call. Within a tier the
// candidates rank by serial agreement (how many of the two serials each side
// copied are what the other sent), then counted line over dupe, then
// closeness in time, then file order; the best free pair is taken first.

namespace velmora::check {

struct AssignOptions {
  int window_minutes = 5;
  int jobs = 1;
};

void AssignMatches(Contest& contest, const std::vector<Index>& indexes, const AssignOptions& o);
void AssignWrongBands(Contest& contest, const AssignOptions& o);
void AssignBusts(Contest& contest, const AssignOptions& o);

}  // namespace velmora::check
