#include "engine/contest_rules.h"

namespace velmora {

namespace {

constexpr const char* kBands[] = {"160m", "80m", "40m", "20m", "15m", "10m"};
constexpr const char* kModes[] = {"CW"};

}  // namespace

CContestRules::CContestRules(const char* const* table, int count) {
  for (int i = 0; i < count; ++i) items_.emplace_back(table[i]);
}

bool CContestRules::Contains(std::string_view text) const {
  return !Canonical(text).empty();
}

std::string CContestRules::Canonical(std::string_view text) const {
  for (const std::string& item : items_)
    if (EqualsIgnoringCase(item, text)) return item;
  return std::string();
}

int CContestRules::IndexOf(std::string_view text) const {
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i] == text) return static_cast<int>(i);
  return -1;
}

// Never destroyed: a process that ends while another thread of the plug-in
// runs gets no exit handler that frees them.
const CContestRules& ContestBands() {
  static const CContestRules& bands = *new CContestRules(kBands, kBandCount);
  return bands;
}

const CContestRules& ContestModes() {
  static const CContestRules& modes = *new CContestRules(kModes, 1);
  return modes;
}

}  // namespace velmora
