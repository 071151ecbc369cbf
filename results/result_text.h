#pragma once

#include <string>

#include "engine/station.h"
#include "results/scoring.h"

namespace velmora {

struct ResultView {
  const ScoreSheet& sheet;
  const Station& station;
  bool export_mode;
  int bad_qsos;
};

// The plain-text result: heading, band rows, totals, score and, outside
// export mode with a non-empty log, the rates.
std::string RenderResultText(const ResultView& view);

}  // namespace velmora
