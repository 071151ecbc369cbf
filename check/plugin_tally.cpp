#include "check/plugin_tally.h"

#include "engine/qso_validation.h"
#include "results/scoring.h"

namespace velmora::check {

PluginTally::PluginTally(const std::string& own_prefix, const std::string& own_continent) {
  station_.StationPrefix = own_prefix;
  station_.StationContinent = own_continent;
}

Stored PluginTally::Add(const QsoArgs& qso, int& points) {
  if (ValidateQso(qso) != velmora::Verdict::kAccepted) return Stored::kRejected;
  CInfo record = MakeRecord(qso);
  points = QsoPoints(record, station_);
  lists_.NoteBand(record.Band);
  return log_.AppendNew(std::move(record)) ? Stored::kDupe : Stored::kCounted;
}

// Export mode leaves the rates out; the figures are those of every request.
ScoreSheet PluginTally::Sheet() { return ComputeScore(log_, lists_, station_, true); }

ScoreFigures PluginTally::Figures() {
  ScoreSheet sheet = Sheet();
  return {sheet.total.qsos, sheet.total.points, sheet.total.mults, sheet.score};
}

}  // namespace velmora::check
