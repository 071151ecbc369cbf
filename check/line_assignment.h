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
// A match whose serials both disagree gives way to a bust of one of its lines
// whose serials both agree.

namespace velmora::check {

struct AssignOptions {
  int window_minutes = 5;
  int serial_window_minutes = 30;  // a match by serial, beyond the window
  int jobs = 1;
};

void AssignMatches(Contest& contest, const std::vector<Index>& indexes, const AssignOptions& o);
void AssignWrongBands(Contest& contest, const AssignOptions& o);
void AssignBusts(Contest& contest, const AssignOptions& o);
// Last: the same QSO beyond the window, up to o.serial_window_minutes, where
// at least one serial was copied as sent.
void AssignSerialMatches(Contest& contest, const AssignOptions& o);

}  // namespace velmora::check
