#pragma once

#include "check/contest.h"

namespace velmora::check {

struct ScoreOptions {
  bool keep_uniques = true;  // --uniques keep|remove
  int penalty = 0;           // more QSOs' points taken per nil and busted call
  int jobs = 1;
};

// Whether a QSO of this verdict counts in the checked score.
bool CountsChecked(Verdict verdict, const ScoreOptions& options);

// Each entrant's checked figures: the plug-in's result pass over its QSOs
// that are ok, unverified or unique, less the penalties (points never below 0).
void ScoreChecked(Contest& contest, const ScoreOptions& options);

}  // namespace velmora::check
