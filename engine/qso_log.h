#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "engine/qso_record.h"

namespace velmora {

// The stored QSOs in the order they were accepted.
class QsoLog {
 public:
  void Append(CInfo record) { records_.push_back(std::move(record)); }
  void RemoveAt(std::size_t index);
  void Clear() { records_.clear(); }

  std::size_t size() const { return records_.size(); }
  bool empty() const { return records_.empty(); }
  const CInfo& operator[](std::size_t i) const { return records_[i]; }
  CInfo& operator[](std::size_t i) { return records_[i]; }
  const CInfo& back() const { return records_.back(); }
  auto begin() const { return records_.begin(); }
  auto end() const { return records_.end(); }

  // First record with this call, band and mode (byte for byte), from `from` on.
  std::optional<std::size_t> FindSame(std::string_view call, std::string_view band,
                                      std::string_view mode,
                                      std::size_t from = 0) const;
  // First record with this call, band and mode whose time equals `time`.
  std::optional<std::size_t> FindForRemoval(std::string_view call,
                                            std::string_view band,
                                            std::string_view mode,
                                            const COleDateTime& time) const;

 private:
  std::vector<CInfo> records_;
};

}  // namespace velmora
