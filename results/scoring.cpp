#include "results/scoring.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace velmora {

namespace {

constexpr double kHalfSecondDays = 5.787037037037037e-06;

std::string SortKey(const std::string& band) {
  if (band.size() >= 20) return band;
  return std::string(20 - band.size(), '0') + band;
}

// Minutes from `time` to `reference`, to the nearest second, then truncated;
// 0 when either time is not valid. Ages beyond a billion minutes (dates the
// host should never pass, and spans that overflow a 32-bit long) are cut
// there: only ages under an hour matter.
long AgeMinutes(const ScoreKey& reference, const ScoreKey& time) {
  if (!reference.Has(ScoreKey::kTimeValid) || !time.Has(ScoreKey::kTimeValid)) return 0;
  double diff = reference.days - time.days;
  diff += diff >= 0 ? kHalfSecondDays : -kHalfSecondDays;
  const double minutes = std::trunc(diff * 1440.0);
  if (std::isnan(minutes)) return 0;
  return static_cast<long>(std::clamp(minutes, -1e9, 1e9));
}

struct RowState {
  BandScore score;
  int mult_index = 0;
  std::vector<std::string> prefixes;  // in the order first counted
  std::vector<std::uint8_t> seen;     // by prefix id
};

// Rows in sorted band order; a name that is not a contest band keeps the
// multiplier list of the row before it.
std::vector<RowState> MakeRows(const std::vector<std::string>& bands,
                               std::size_t prefix_count) {
  std::vector<RowState> rows(bands.size());
  int index = 0;
  for (std::size_t i = 0; i < bands.size(); ++i) {
    int found = ContestBands().IndexOf(bands[i]);
    if (found >= 0) index = found;
    rows[i].score.band = bands[i];
    rows[i].mult_index = index;
    rows[i].seen.assign(prefix_count, 0);
  }
  return rows;
}

// The row of each record: by band index for the contest's bands, by name for
// anything else.
int RowOf(const std::vector<RowState>& rows, const std::array<int, kBandCount>& by_band,
          const ScoreKey& key, const CInfo& record) {
  if (key.band != ScoreKey::kNoBand) return by_band[key.band];
  for (std::size_t i = 0; i < rows.size(); ++i)
    if (rows[i].score.band == record.Band) return static_cast<int>(i);
  return -1;
}

void AddToTotal(BandScore& total, const BandScore& row) {
  total.qsos += row.qsos;
  total.points += row.points;
  total.mults += row.mults;
  total.dupes += row.dupes;
}

constexpr std::uint32_t kNoId = 0xffffffff;

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
  std::vector<RowState> rows = MakeRows(lists.BandsWorked, log.prefixes().size());
  std::array<int, kBandCount> row_by_band;
  row_by_band.fill(-1);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    int band = ContestBands().IndexOf(rows[i].score.band);
    if (band >= 0) row_by_band[static_cast<std::size_t>(band)] = static_cast<int>(i);
  }
  const std::uint32_t own_prefix = log.prefixes().Find(station.StationPrefix).value_or(kNoId);
  const std::uint32_t own_continent =
      log.continents().Find(station.StationContinent).value_or(kNoId);

  ScoreSheet sheet;
  sheet.log_empty = log.empty();
  const std::vector<ScoreKey>& keys = log.score_keys();
  const ScoreKey last = keys.empty() ? ScoreKey{} : keys.back();
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const ScoreKey& key = keys[i];
    if (key.Has(ScoreKey::kCallEmpty)) continue;
    int row = RowOf(rows, row_by_band, key, log[i]);
    if (row < 0) continue;
    RowState& state = rows[static_cast<std::size_t>(row)];
    state.score.dupes += key.Has(ScoreKey::kDupe) ? 1 : 0;
    if (key.Has(ScoreKey::kBad)) continue;
    state.score.qsos += 1;
    int points = key.prefix == own_prefix ? 1 : key.continent == own_continent ? 3 : 5;
    state.score.points += points;
    bool rate_band = key.band == last.band &&
                     (key.band != ScoreKey::kNoBand || log[i].Band == log.back().Band);
    if (rate_band) {
      sheet.last_points = points;
      if (!export_mode) {
        long age = AgeMinutes(last, key);
        if (age < 60) sheet.hour_qsos += 1, sheet.hour_points += points;
        if (age < 10) sheet.ten_qsos += 1, sheet.ten_points += points;
      }
    }
    if (!state.seen[key.prefix]) {
      state.seen[key.prefix] = 1;
      state.prefixes.push_back(log.prefixes().Text(key.prefix));
      state.score.mults += 1;
    }
  }

  for (RowState& state : rows) {
    lists.BandMults[static_cast<std::size_t>(state.mult_index)] = std::move(state.prefixes);
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
