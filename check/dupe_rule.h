#pragma once

#include "check/contest_index.h"

namespace velmora::check {

// The check's dupe rule, over the lines that take part (so after the contest
// period): of a log's lines with one call on one band one counts, the others
// are dupes.

// Before the assignment: the first in the file counts.
void MarkFirstLines(Contest& contest, const std::vector<Index>& indexes, int jobs);

// After it: the first the worked station's log confirms (matched on the
// band) counts, else the first with any partner, else the first in the file.
void SettleDupes(Contest& contest, const std::vector<Index>& indexes, int jobs);

}  // namespace velmora::check
