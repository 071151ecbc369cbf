#include "engine/qso_log.h"

#include <algorithm>
#include <limits>

#include "engine/contest_rules.h"

namespace velmora {

ScoreKey QsoLog::MakeKey(const CInfo& r) {
  ScoreKey key;
  const bool valid = r.Time.GetStatus() == COleDateTime::kValid && r.Time.HasFiniteDays();
  key.days = valid ? r.Time.LinearDays() : std::numeric_limits<double>::infinity();
  key.prefix = prefixes_.Intern(r.Prefix);
  key.continent = continents_.Intern(r.Continent);
  int band = ContestBands().IndexOf(r.Band);
  key.band = band < 0 ? ScoreKey::kNoBand : static_cast<std::uint8_t>(band);
  key.flags = static_cast<std::uint8_t>(
      (r.Call.empty() ? ScoreKey::kCallEmpty : 0) | (r.Bad ? ScoreKey::kBad : 0) |
      (r.Dupe ? ScoreKey::kDupe : 0) |
      (valid ? ScoreKey::kTimeValid : 0));
  return key;
}

bool QsoLog::HasSameBandAndMode(const CallRecords& call, const CInfo& record) const {
  return std::any_of(call.firsts.begin(), call.firsts.end(), [&](std::uint32_t first) {
    const CInfo& r = records_[call.positions[first]];
    return r.Band == record.Band && r.Mode == record.Mode;
  });
}

void QsoLog::Append(CInfo record) {
  CallRecords& call = by_call_[record.Call.str()];
  const bool dupe = HasSameBandAndMode(call, record);
  AppendTo(call, dupe, std::move(record));
}

bool QsoLog::AppendNew(CInfo record) {
  // One look-up of the call serves the dupe check and the index.
  CallRecords& call = by_call_[record.Call.str()];
  const bool dupe = HasSameBandAndMode(call, record);
  record.Bad = record.Dupe = dupe ? 1 : 0;
  AppendTo(call, dupe, std::move(record));
  return dupe;
}

void QsoLog::AppendTo(CallRecords& call, bool dupe, CInfo record) {
  const auto position = static_cast<std::uint32_t>(records_.size());
  keys_.push_back(MakeKey(record));
  // Most calls are worked a few times on a few bands: room for that in the
  // smallest block the heap hands out, so the lists grow once, not thrice.
  if (call.positions.empty()) {
    call.positions.reserve(6);
    call.firsts.reserve(6);
  }
  if (!dupe) call.firsts.push_back(static_cast<std::uint32_t>(call.positions.size()));
  call.positions.push_back(position);
  const ScoreKey& key = keys_.back();
  if (key.band != ScoreKey::kNoBand) ++band_prefix_counts_[BandPrefixKey(key.band, key.prefix)];
  records_.push_back(std::move(record));
}

void QsoLog::TakeFirsts(CallRecords& call) {
  call.firsts.clear();
  for (std::uint32_t k = 0; k < call.positions.size(); ++k)
    if (!HasSameBandAndMode(call, records_[call.positions[k]])) call.firsts.push_back(k);
}

void QsoLog::RemoveAt(std::size_t index) {
  auto calls = by_call_.find(records_[index].Call);
  std::erase(calls->second.positions, static_cast<std::uint32_t>(index));
  const bool call_gone = calls->second.positions.empty();
  if (call_gone) by_call_.erase(calls);
  for (auto& [text, other] : by_call_)
    for (std::uint32_t& p : other.positions)
      if (p > index) --p;
  const ScoreKey& key = keys_[index];
  if (key.band != ScoreKey::kNoBand) {
    auto counts = band_prefix_counts_.find(BandPrefixKey(key.band, key.prefix));
    if (--counts->second == 0) band_prefix_counts_.erase(counts);
  }
  records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(index));
  keys_.erase(keys_.begin() + static_cast<std::ptrdiff_t>(index));
  // The removed record may have been the first of its band and mode: the
  // call's firsts are taken again from the positions that stay.
  if (!call_gone) TakeFirsts(calls->second);
}

void QsoLog::Clear() {
  records_.clear();
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

std::span<const std::uint32_t> QsoLog::PositionsOf(std::string_view call) const {
  auto calls = by_call_.find(call);
  if (calls == by_call_.end()) return {};
  return calls->second.positions;
}

template <typename Visit>
std::optional<std::size_t> QsoLog::FindOfCall(std::string_view call, Visit visit) const {
  auto calls = by_call_.find(call);
  if (calls == by_call_.end()) return std::nullopt;
  for (std::uint32_t i : calls->second.positions)
    if (visit(i)) return i;
  return std::nullopt;
}

std::optional<std::size_t> QsoLog::FindSame(std::string_view call, std::string_view band,
                                            std::string_view mode) const {
  return FindOfCall(call, [&](std::size_t i) {
    return records_[i].Band == band && records_[i].Mode == mode;
  });
}

std::optional<std::size_t> QsoLog::FindForRemoval(std::string_view call,
                                                  std::string_view band,
                                                  std::string_view mode,
                                                  const COleDateTime& time) const {
  return FindOfCall(call, [&](std::size_t i) {
    const CInfo& r = records_[i];
    return r.Band == band && r.Mode == mode && r.Time.SameTime(time);
  });
}

bool QsoLog::HasPrefixOnBand(std::string_view band, std::string_view prefix) const {
  int band_index = ContestBands().IndexOf(band);
  std::optional<std::uint32_t> prefix_id = prefixes_.Find(prefix);
  if (band_index < 0 || !prefix_id) return false;
  return band_prefix_counts_.count(
             BandPrefixKey(static_cast<std::uint8_t>(band_index), *prefix_id)) > 0;
}

}  // namespace velmora
