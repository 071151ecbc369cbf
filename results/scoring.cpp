#include "results/scoring.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <utility>

namespace velmora {

namespace {

constexpr double kHalfSecondDays = 5.787037037037037e-06;
constexpr std::uint32_t kNoId = 0xffffffff;
constexpr double kNoAge = -std::numeric_limits<double>::infinity();
// Ages beyond a billion days are only far: no rate window comes near them.
constexpr double kFarDays = 1e9;
constexpr double kFarMinutes = kFarDays * 1440.0;

std::string SortKey(const std::string& band) {
  if (band.size() >= 20) return band;
  return std::string(20 - band.size(), '0') + band;
}

// Minutes from `time` to `reference`, rounded to the nearest second, before
// the truncation to whole minutes; minus infinity when `time` is not valid.
// An age truncates below `limit` exactly when this value is not at least
// `limit`, and an invalid time (age 0) is below every limit. Both days are
// numbers; the halves cannot overflow, so neither can the difference of two
// days that are not far apart.
double RawAgeMinutes(double reference_days, const ScoreKey& time) {
  if (!time.Has(ScoreKey::kTimeValid)) return kNoAge;
  const double half = reference_days / 2 - time.days / 2;
  if (std::fabs(half) > kFarDays / 2) return std::copysign(kFarMinutes, half);
  const double diff = reference_days - time.days;
  return (diff + std::copysign(kHalfSecondDays, diff)) * 1440.0;
}

struct RowState {
  BandScore score;
  int mult_index = 0;
  std::vector<std::uint32_t> prefixes;  // ids, in the order first counted
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

// The list's texts are overwritten in place: a result request on an unchanged
// log allocates nothing for it.
void FillList(std::vector<std::string>& list, const std::vector<std::uint32_t>& ids,
              const TextPool& pool) {
  list.resize(ids.size());
  for (std::size_t k = 0; k < ids.size(); ++k)
    if (const std::string& text = pool.Text(ids[k]); list[k] != text) list[k].assign(text);
}

void AddToTotal(BandScore& total, const BandScore& row) {
  total.qsos += row.qsos;
  total.points += row.points;
  total.mults += row.mults;
  total.dupes += row.dupes;
}

// Per-band sums of QSOs, dupes and points, packed in one word a band so that
// a QSO adds to all three at once. The fields hold 21, 21 and 22 bits: they
// are emptied into the rows every kChunk QSOs.
class PackedSums {
 public:
  static constexpr std::size_t kChunk = std::size_t{1} << 18;

  void Add(std::uint8_t band, bool dupe, std::uint64_t points) {
    sums_[band] += (std::uint64_t{1} << kQsoShift) |
                   (static_cast<std::uint64_t>(dupe) << kDupeShift) | points;
  }
  void AddTo(BandScore& score, std::size_t band) const {
    score.qsos += static_cast<int>(sums_[band] >> kQsoShift);
    score.dupes += static_cast<int>((sums_[band] >> kDupeShift) & kFieldMask);
    score.points += static_cast<int>(sums_[band] & ((std::uint64_t{1} << kDupeShift) - 1));
  }

 private:
  static constexpr int kQsoShift = 43, kDupeShift = 22;
  static constexpr std::uint64_t kFieldMask = (std::uint64_t{1} << 21) - 1;
  std::array<std::uint64_t, kBandCount> sums_{};
};

// The rate windows: QSOs and points of the last QSO's band within the last
// hour and the last ten minutes, and the points of the latest QSO on it.
struct Rates {
  int hour_qsos = 0, hour_points = 0;
  int ten_qsos = 0, ten_points = 0;
  int last_points = 0;
};

// The one walk over the log's score keys. Records of the contest's bands
// that count take the short way; the few others (no call, rejected, a band
// outside the contest) the general one. Only QSOs of the last QSO's band
// from about its last hour, or without a valid time, are looked at for the
// rate windows.
class ScorePass {
 public:
  ScorePass(const QsoLog& log, std::vector<RowState>& rows, const Station& station,
            bool export_mode)
      : log_(log),
        rows_(rows),
        prefix_count_(log.prefixes().size()),
        seen_(rows.size() * prefix_count_, 0),
        firsts_(rows.size() * prefix_count_ + 1),
        own_prefix_(log.prefixes().Find(station.StationPrefix).value_or(kNoId)),
        own_continent_(log.continents().Find(station.StationContinent).value_or(kNoId)),
        export_mode_(export_mode) {
    row_by_band_.fill(-1);
    for (std::size_t i = 0; i < rows.size(); ++i) {
      int band = ContestBands().IndexOf(rows[i].score.band);
      if (band >= 0) row_by_band_[static_cast<std::size_t>(band)] = static_cast<int>(i);
    }
    if (!log.empty()) last_ = log.score_keys().back();
    last_valid_ = last_.Has(ScoreKey::kTimeValid);
    // A margin beyond the hour covers the rounding to the second.
    near_from_ = last_valid_ ? last_.days - 61.0 / 1440.0
                             : -std::numeric_limits<double>::infinity();
  }

  Rates Run() {
    const std::size_t count = log_.score_keys().size();
    later_ = std::make_unique_for_overwrite<std::uint32_t[]>(count);
    for (std::size_t begin = 0; begin < count; begin += PackedSums::kChunk)
      Walk(begin, std::min(count, begin + PackedSums::kChunk));
    // QSOs of a band outside the contest count in rows of their own, so the
    // multipliers they add still come in order.
    const ScoreKey* keys = log_.score_keys().data();
    for (std::size_t k = 0; k < later_count_; ++k) {
      const std::size_t i = later_[k];
      if (Fast(keys[i]))
        AddToWindows(keys[i], Points(keys[i]));
      else
        General(i);
    }
    for (std::size_t k = 0; k < first_count_; ++k) {
      RowState& row = rows_[firsts_[k] / prefix_count_];
      row.prefixes.push_back(static_cast<std::uint32_t>(firsts_[k] % prefix_count_));
      row.score.mults += 1;
    }
    rates_.last_points = LastPoints();
    return rates_;
  }

 private:
  static bool Fast(const ScoreKey& key) {
    constexpr std::uint8_t kSlow = ScoreKey::kCallEmpty | ScoreKey::kBad;
    return key.band != ScoreKey::kNoBand && (key.flags & kSlow) == 0;
  }

  // The walk over QSOs [begin, end) calls nothing, so that its values stay in
  // registers: the few QSOs that need more (the general way, the rate
  // windows) are noted in later_ and dealt with after it, in order.
  void Walk(std::size_t begin, std::size_t end) {
    const ScoreKey* keys = log_.score_keys().data();
    std::uint32_t* later = later_.get();
    std::size_t later_count = later_count_;
    std::uint32_t* seen = seen_.data();
    std::uint32_t* firsts = firsts_.data();
    std::size_t first_count = first_count_;
    const std::array<int, kBandCount> row_by_band = row_by_band_;
    const std::size_t prefix_count = prefix_count_;
    const std::uint32_t own_prefix = own_prefix_, own_continent = own_continent_;
    const double near_from = near_from_;
    const std::uint8_t last_band = last_.band;
    PackedSums sums;
    for (std::size_t i = begin; i < end; ++i) {
      const ScoreKey& key = keys[i];
      if (!Fast(key)) {
        later[later_count++] = static_cast<std::uint32_t>(i);
        continue;
      }
      const int row = row_by_band[key.band];
      if (row < 0) continue;
      const std::uint64_t points =
          key.prefix == own_prefix ? 1 : key.continent == own_continent ? 3 : 5;
      sums.Add(key.band, key.Has(ScoreKey::kDupe), points);
      // Without a branch: a first QSO of a prefix comes at random.
      const std::size_t at = static_cast<std::size_t>(row) * prefix_count + key.prefix;
      const std::uint32_t was_seen = seen[at];
      seen[at] = 1;
      firsts[first_count] = static_cast<std::uint32_t>(at);
      first_count += 1u - was_seen;
      // A QSO without a valid time has infinite days: it is always near.
      const bool near = (key.band == last_band) & (key.days >= near_from);
      if (near) later[later_count++] = static_cast<std::uint32_t>(i);
    }
    later_count_ = later_count;
    first_count_ = first_count;
    for (std::size_t band = 0; band < kBandCount; ++band)
      if (row_by_band[band] >= 0)
        sums.AddTo(rows_[static_cast<std::size_t>(row_by_band[band])].score, band);
  }

  void General(std::size_t i) {
    const ScoreKey& key = log_.score_keys()[i];
    const int row = RowOf(i);
    if (row < 0) return;
    if (key.Has(ScoreKey::kBad)) {
      rows_[static_cast<std::size_t>(row)].score.dupes += key.Has(ScoreKey::kDupe) ? 1 : 0;
      return;
    }
    const int points = Count(key, static_cast<std::size_t>(row));
    if (InRateBand(i)) AddToWindows(key, points);
  }

  // The row a record counts in; -1 for none (no call, or a band without a
  // row).
  int RowOf(std::size_t i) const {
    const ScoreKey& key = log_.score_keys()[i];
    if (key.Has(ScoreKey::kCallEmpty)) return -1;
    if (key.band != ScoreKey::kNoBand) return row_by_band_[key.band];
    for (std::size_t r = 0; r < rows_.size(); ++r)
      if (rows_[r].score.band == log_[i].Band) return static_cast<int>(r);
    return -1;
  }

  bool InRateBand(std::size_t i) const {
    const ScoreKey& key = log_.score_keys()[i];
    return key.band == last_.band &&
           (key.band != ScoreKey::kNoBand || log_[i].Band == log_.back().Band);
  }

  void AddToWindows(const ScoreKey& key, int points) {
    if (export_mode_) return;
    const double age = last_valid_ ? RawAgeMinutes(last_.days, key) : kNoAge;
    if (age < 60.0) rates_.hour_qsos += 1, rates_.hour_points += points;
    if (age < 10.0) rates_.ten_qsos += 1, rates_.ten_points += points;
  }

  // The points of the latest QSO that counts on the last QSO's band: the
  // last QSO itself but for a rejected one.
  int LastPoints() const {
    for (std::size_t i = log_.size(); i-- > 0;) {
      const ScoreKey& key = log_.score_keys()[i];
      if (key.Has(ScoreKey::kBad) || !InRateBand(i) || RowOf(i) < 0) continue;
      return Points(key);
    }
    return 0;
  }

  int Points(const ScoreKey& key) const {
    return key.prefix == own_prefix_ ? 1 : key.continent == own_continent_ ? 3 : 5;
  }

  // Counts a QSO in its row; returns its points.
  int Count(const ScoreKey& key, std::size_t row) {
    BandScore& score = rows_[row].score;
    score.dupes += key.Has(ScoreKey::kDupe) ? 1 : 0;
    score.qsos += 1;
    const int points = Points(key);
    score.points += points;
    See(row, key.prefix);
    return points;
  }

  // Notes the first QSO of a prefix in a row: a multiplier.
  void See(std::size_t row, std::uint32_t prefix) {
    const std::size_t at = row * prefix_count_ + prefix;
    if (seen_[at]) return;
    seen_[at] = 1;
    firsts_[first_count_++] = static_cast<std::uint32_t>(at);
  }

  const QsoLog& log_;
  std::vector<RowState>& rows_;
  std::size_t prefix_count_;
  std::vector<std::uint32_t> seen_;  // by row and prefix id; not a char type, which could alias anything
  std::unique_ptr<std::uint32_t[]> later_;  // QSOs for after the walk
  std::size_t later_count_ = 0;
  // Indexes into seen_ of the first QSO of each prefix in each row, in order;
  // room for every one, and one more for the write past the last.
  std::vector<std::uint32_t> firsts_;
  std::size_t first_count_ = 0;
  std::array<int, kBandCount> row_by_band_;
  std::uint32_t own_prefix_;
  std::uint32_t own_continent_;
  bool export_mode_;
  ScoreKey last_;
  bool last_valid_ = false;
  double near_from_ = 0;
  Rates rates_;
};

}  // namespace

int QsoPoints(const CInfo& record, const Station& station) {
  if (record.Prefix == station.StationPrefix) return 1;
  if (record.Continent == station.StationContinent) return 3;
  return 5;
}

void SortBandsWorked(std::vector<std::string>& bands) {
  std::vector<std::string> keys;
  keys.reserve(bands.size());
  for (const std::string& band : bands) keys.push_back(SortKey(band));
  for (std::size_t i = 0; i + 1 < bands.size(); ++i)
    for (std::size_t j = i + 1; j < bands.size(); ++j)
      if (keys[i] < keys[j]) {
        std::swap(keys[i], keys[j]);
        std::swap(bands[i], bands[j]);
      }
}

ScoreSheet ComputeScore(const QsoLog& log, BandLists& lists, const Station& station,
                        bool export_mode) {
  SortBandsWorked(lists.BandsWorked);
  std::vector<RowState> rows = MakeRows(lists.BandsWorked);
  ScoreSheet sheet;
  sheet.log_empty = log.empty();
  const Rates rates = ScorePass(log, rows, station, export_mode).Run();
  sheet.hour_qsos = rates.hour_qsos;
  sheet.hour_points = rates.hour_points;
  sheet.ten_qsos = rates.ten_qsos;
  sheet.ten_points = rates.ten_points;
  sheet.last_points = rates.last_points;

  for (RowState& state : rows) {
    FillList(lists.BandMults[static_cast<std::size_t>(state.mult_index)], state.prefixes,
             log.prefixes());
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
