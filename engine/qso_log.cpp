#include "engine/qso_log.h"

#include <algorithm>

#include "engine/contest_rules.h"

namespace velmora {

std::string QsoLog::BandPrefixKey(std::string_view band, std::string_view prefix) {
  std::string key(band);
  key += '\n';  // no band name holds a line end
  key += prefix;
  return key;
}

ScoreKey QsoLog::MakeKey(const CInfo& r) {
  ScoreKey key;
  key.days = r.Time.LinearDays();
  key.prefix = prefixes_.Intern(r.Prefix);
  key.continent = continents_.Intern(r.Continent);
  int band = ContestBands().IndexOf(r.Band);
  key.band = band < 0 ? ScoreKey::kNoBand : static_cast<std::uint8_t>(band);
  key.flags = static_cast<std::uint8_t>(
      (r.Call.empty() ? ScoreKey::kCallEmpty : 0) | (r.Bad ? ScoreKey::kBad : 0) |
      (r.Dupe ? ScoreKey::kDupe : 0) |
      (r.Time.GetStatus() == COleDateTime::kValid ? ScoreKey::kTimeValid : 0));
  return key;
}

void QsoLog::Append(CInfo record) {
  std::uint32_t seq = next_seq_++;
  keys_.push_back(MakeKey(record));
  by_call_[record.Call.str()].push_back(seq);
  ++band_prefix_counts_[BandPrefixKey(record.Band, record.Prefix)];
  records_.push_back(std::move(record));
  seqs_.push_back(seq);
}

void QsoLog::RemoveAt(std::size_t index) {
  const CInfo& r = records_[index];
  auto calls = by_call_.find(r.Call);
  std::erase(calls->second, seqs_[index]);
  if (calls->second.empty()) by_call_.erase(calls);
  auto counts = band_prefix_counts_.find(BandPrefixKey(r.Band, r.Prefix));
  if (--counts->second == 0) band_prefix_counts_.erase(counts);
  records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(index));
  seqs_.erase(seqs_.begin() + static_cast<std::ptrdiff_t>(index));
  keys_.erase(keys_.begin() + static_cast<std::ptrdiff_t>(index));
}

void QsoLog::Clear() {
  records_.clear();
  seqs_.clear();
  keys_.clear();
  prefixes_.Clear();
  continents_.Clear();
  by_call_.clear();
  band_prefix_counts_.clear();
}

void QsoLog::MarkCounted(std::size_t index) {
  records_[index].Bad = 0;
  records_[index].Dupe = 0;
  keys_[index].flags &= static_cast<std::uint8_t>(~(ScoreKey::kBad | ScoreKey::kDupe));
}

std::size_t QsoLog::PositionOf(std::uint32_t seq) const {
  return static_cast<std::size_t>(std::lower_bound(seqs_.begin(), seqs_.end(), seq) -
                                  seqs_.begin());
}

std::vector<std::size_t> QsoLog::PositionsOf(std::string_view call) const {
  std::vector<std::size_t> positions;
  auto calls = by_call_.find(call);
  if (calls == by_call_.end()) return positions;
  positions.reserve(calls->second.size());
  for (std::uint32_t seq : calls->second) positions.push_back(PositionOf(seq));
  return positions;
}

std::optional<std::size_t> QsoLog::FindSame(std::string_view call, std::string_view band,
                                            std::string_view mode) const {
  for (std::size_t i : PositionsOf(call))
    if (records_[i].Band == band && records_[i].Mode == mode) return i;
  return std::nullopt;
}

std::optional<std::size_t> QsoLog::FindForRemoval(std::string_view call,
                                                  std::string_view band,
                                                  std::string_view mode,
                                                  const COleDateTime& time) const {
  for (std::size_t i : PositionsOf(call)) {
    const CInfo& r = records_[i];
    if (r.Band == band && r.Mode == mode && r.Time.SameTime(time)) return i;
  }
  return std::nullopt;
}

bool QsoLog::HasPrefixOnBand(std::string_view band, std::string_view prefix) const {
  return band_prefix_counts_.find(BandPrefixKey(band, prefix)) != band_prefix_counts_.end();
}

}  // namespace velmora
