#pragma once

#include "check/contest.h"
#include "engine/band_lists.h"
#include "engine/qso_args.h"
#include "engine/qso_log.h"
#include "engine/station.h"
#include "results/scoring.h"

namespace velmora::check {

// The plug-in's own acceptance rules, dupe rule and result pass over one log,
// without its files and windows: what AddData0 stores and GetResult0 scores,
// so that a log's figures here are the ones velmora-replay prints.
class PluginTally {
 public:
  PluginTally(const std::string& own_prefix, const std::string& own_continent);

  // A QSO as the host hands it over; `points` gets its points when stored.
  Stored Add(const QsoArgs& qso, int& points);
  // The result pass over what was added: a row per band worked and the total.
  ScoreSheet Sheet();
  ScoreFigures Figures();

 private:
  Station station_;
  QsoLog log_;
  BandLists lists_;
};

}  // namespace velmora::check
