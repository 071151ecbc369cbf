#pragma once

#include <string>

#include "report/contest_report.h"

namespace velmora {

// The report as one self-contained HTML page: no script, no network, charts
// as inline SVG, laid out for a screen and for A4 paper. Every text from the
// log is escaped.
std::string RenderReportPage(const ContestReport& report);

}  // namespace velmora
