#pragma once

#include <string>
#include <vector>

#include "check/contest.h"
#include "check/standings.h"

namespace velmora::check {

extern const char kQsosCsvHeader[];
// The rows of qsos.csv for one log, one a QSO line, in file order.
std::string QsosCsvRows(const Contest& contest, std::size_t log);

// results.csv, whole.
std::string ResultsCsv(const Contest& contest, const std::vector<Standing>& standings);

// results.html: one table per category, each call linked to its report, and
// the error rate of every entrant as one inline SVG chart.
std::string ResultsHtml(const Contest& contest, const std::vector<Standing>& standings);

}  // namespace velmora::check
