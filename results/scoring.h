#pragma once

#include <string>
#include <vector>

#include "engine/band_lists.h"
#include "engine/qso_log.h"
#include "engine/station.h"

namespace velmora {

struct BandScore {
  std::string band;
  int qsos = 0;
  int points = 0;
  int mults = 0;
  int dupes = 0;
};

// Every figure of one result request.
struct ScoreSheet {
  std::vector<BandScore> rows;  // in the sorted order of BandsWorked
  BandScore total;
  int score = 0;
  int hour_qsos = 0, hour_points = 0;
  int ten_qsos = 0, ten_points = 0;
  int last_points = 0;
  bool log_empty = true;
};

// 1 for the own entity, 3 for the own continent, 5 otherwise.
int QsoPoints(const CInfo& record, const Station& station);

// Descending by the band name left-padded with '0' to 20 characters.
void SortBandsWorked(std::vector<std::string>& bands);

// Sorts BandsWorked, refills the BandMults lists of the bands that have rows,
// and tallies the log in one pass. Rates are left at 0 in export mode.
ScoreSheet ComputeScore(const QsoLog& log, BandLists& lists, const Station& station,
                        bool export_mode);

}  // namespace velmora
