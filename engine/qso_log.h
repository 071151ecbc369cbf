#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/qso_record.h"
#include "engine/score_key.h"
#include "engine/text_pool.h"

namespace velmora {

// The stored QSOs in the order they were accepted, with the indexes that keep
// the dupe check, the call check and removals independent of the log's size:
// the QSOs of each call, and how many QSOs carry each prefix on each band.
class QsoLog {
 public:
  void Append(CInfo record);
  // Appends a new QSO, flagged as a dupe (Bad and Dupe) when one with the same
  // call, band and mode is stored already; returns whether it was a dupe.
  bool AppendNew(CInfo record);
  void RemoveAt(std::size_t index);
  void Clear();

  std::size_t size() const { return records_.size(); }
  bool empty() const { return records_.empty(); }
  const CInfo& operator[](std::size_t i) const { return records_[i]; }
  const CInfo& back() const { return records_.back(); }
  auto begin() const { return records_.begin(); }
  auto end() const { return records_.end(); }

  // The record at `index` becomes a counted QSO (no longer a dupe).
  void MarkCounted(std::size_t index);

  // First record with this call, band and mode (byte for byte).
  std::optional<std::size_t> FindSame(std::string_view call, std::string_view band,
                                      std::string_view mode) const;
  // First record with this call, band and mode whose time equals `time`.
  std::optional<std::size_t> FindForRemoval(std::string_view call,
                                            std::string_view band,
                                            std::string_view mode,
                                            const COleDateTime& time) const;
  // Positions of the records of `call`, in log order; valid until the log
  // changes.
  std::span<const std::uint32_t> PositionsOf(std::string_view call) const;
  // Whether a stored record on `band` carries `prefix`.
  bool HasPrefixOnBand(std::string_view band, std::string_view prefix) const;

  // The records packed for scoring, parallel to the records, with the pools
  // their prefix and continent ids refer to.
  const std::vector<ScoreKey>& score_keys() const { return keys_; }
  const TextPool& prefixes() const { return prefixes_; }
  const TextPool& continents() const { return continents_; }

 private:
  struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const {
      return std::hash<std::string_view>{}(s);
    }
  };
  template <typename V>
  using TextMap = std::unordered_map<std::string, V, TextHash, std::equal_to<>>;

  // Calls `visit(position)` for the records of `call` in log order until it
  // returns true; returns that position.
  template <typename Visit>
  std::optional<std::size_t> FindOfCall(std::string_view call, Visit visit) const;
  static std::uint64_t BandPrefixKey(std::uint8_t band, std::uint32_t prefix) {
    return static_cast<std::uint64_t>(band) << 32 | prefix;
  }
  // A call's records: their positions, ascending (a removal moves the later
  // positions down, as it moves the records), and which of them is the first
  // of its band and mode, as places in `positions` (a removal elsewhere leaves
  // them be). Those answer the dupe check without a scan of the positions: a
  // call has a few however often it was worked.
  struct CallRecords {
    std::vector<std::uint32_t> positions;
    std::vector<std::uint32_t> firsts;
  };

  // Whether the call has a record with the band and mode of `record`.
  bool HasSameBandAndMode(const CallRecords& call, const CInfo& record) const;
  void TakeFirsts(CallRecords& call);
  ScoreKey MakeKey(const CInfo& record);
  void AppendTo(CallRecords& call, bool dupe, CInfo record);

  std::vector<CInfo> records_;
  std::vector<ScoreKey> keys_;       // parallel to records_
  TextPool prefixes_, continents_;
  TextMap<CallRecords> by_call_;
  // QSOs per band index and prefix id; records on other bands are not
  // counted, as no call check asks for them.
  std::unordered_map<std::uint64_t, int> band_prefix_counts_;
};

}  // namespace velmora
