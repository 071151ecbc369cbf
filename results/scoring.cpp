#include "results/scoring.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>
#include <utility>

namespace velmora {

namespace {

constexpr double kHalfSecondDays = 5.787037037037037e-06;

std::string SortKey(const std::string& band) {
  if (band.size() >= 20) return band;
  return std::string(20 - band.size(), '0') + band;
}

// Minutes from `time` to `reference`, to the nearest second, then truncated.
long AgeMinutes(const COleDateTime& reference, const COleDateTime& time) {
  if (reference.GetStatus() != COleDateTime::kValid ||
      time.GetStatus() != COleDateTime::kValid)
    return 0;
  double diff = reference.LinearDays() - time.LinearDays();
  diff += diff >= 0 ? kHalfSecondDays : -kHalfSecondDays;
  return static_cast<long>(std::trunc(diff * 1440.0));
}

struct RowState {
  BandScore score;
  int mult_index = 0;
  std::vector<std::string> prefixes;  // in the order first counted
  std::unordered_set<std::string_view> seen;  // views into the log's records
};

// Rows in sorted band order; a name that is not a contest band keeps the
// multiplier list of the row before it.
std::vector<RowState> MakeRows(const std::vector<std::string>& bands) {
  std::vector<RowState> rows(bands.size());
  int index = 0;
  for (std::size_t i = 0; i < bands.size(); ++i) {
    int found = ContestBands().IndexOf(bands[i]);
    if (found >= 0) index = found;
    rows[i].score.band = bands[i];
    rows[i].mult_index = index;
  }
  return rows;
}

int RowOf(const std::vector<RowState>& rows, const std::string& band) {
  for (std::size_t i = 0; i < rows.size(); ++i)
    if (rows[i].score.band == band) return static_cast<int>(i);
  return -1;
}

void AddToTotal(BandScore& total, const BandScore& row) {
  total.qsos += row.qsos;
  total.points += row.points;
  total.mults += row.mults;
  total.dupes += row.dupes;
}

}  // namespace

int QsoPoints(const CInfo& record, const Station& station) {
  if (record.Prefix == station.StationPrefix) return 1;
  if (record.Continent == station.StationContinent) return 3;
  return 5;
}

void SortBandsWorked(std::vector<std::string>& bands) {
  for (std::size_t i = 0; i + 1 < bands.size(); ++i)
    for (std::size_t j = i + 1; j < bands.size(); ++j)
      if (SortKey(bands[i]) < SortKey(bands[j])) std::swap(bands[i], bands[j]);
}

ScoreSheet ComputeScore(const QsoLog& log, BandLists& lists, const Station& station,
                        bool export_mode) {
  SortBandsWorked(lists.BandsWorked);
  std::vector<RowState> rows = MakeRows(lists.BandsWorked);
  ScoreSheet sheet;
  sheet.log_empty = log.empty();
  const std::string* rate_band = log.empty() ? nullptr : &log.back().Band;
  const COleDateTime reference = log.empty() ? COleDateTime() : log.back().Time;

  for (const CInfo& r : log) {
    int row = r.Call.empty() ? -1 : RowOf(rows, r.Band);
    if (row < 0) continue;
    RowState& state = rows[static_cast<std::size_t>(row)];
    state.score.dupes += r.Dupe;
    if (r.Bad != 0) continue;
    state.score.qsos += 1;
    int points = QsoPoints(r, station);
    state.score.points += points;
    if (r.Band == *rate_band) {
      sheet.last_points = points;
      if (!export_mode) {
        long age = AgeMinutes(reference, r.Time);
        if (age < 60) sheet.hour_qsos += 1, sheet.hour_points += points;
        if (age < 10) sheet.ten_qsos += 1, sheet.ten_points += points;
      }
    }
    if (state.seen.insert(r.Prefix).second) {
      state.prefixes.push_back(r.Prefix);
      state.score.mults += 1;
    }
  }

  for (RowState& state : rows) {
    lists.BandMults[static_cast<std::size_t>(state.mult_index)] = state.prefixes;
    AddToTotal(sheet.total, state.score);
    sheet.rows.push_back(std::move(state.score));
  }
  sheet.total.band = "Total";
  // Signed 32-bit like every count; C++20 makes the narrowing wrap defined.
  sheet.score = static_cast<int>(static_cast<long long>(sheet.total.points) *
                                 sheet.total.mults);
  return sheet;
}

}  // namespace velmora
