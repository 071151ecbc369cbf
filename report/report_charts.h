#pragma once

#include <string>

#include "report/contest_report.h"

namespace velmora {

// Inline SVG charts. Bands differ by pattern as well as by colour, and every
// series is named in a legend, so that a grey print reads the same.

// QSOs per clock hour stacked by band, with the points per hour as a line.
std::string HourChartSvg(const ContestReport& report);

// The cumulative score (points x multipliers) at the end of every hour.
std::string ScoreChartSvg(const ContestReport& report);

}  // namespace velmora
