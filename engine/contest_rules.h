#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/text_case.h"

namespace velmora {

// A fixed list of texts (the contest's bands or modes). Membership ignores
// letter case, as the host's own lists do.
class CContestRules {
 public:
  CContestRules(const char* const* table, int count);

  bool Contains(std::string_view text) const;
  // The list's own spelling of `text`, found ignoring letter case; empty when
  // the list does not hold it.
  std::string Canonical(std::string_view text) const;
  // Position of `text` compared byte for byte; -1 when absent.
  int IndexOf(std::string_view text) const;

  const std::vector<std::string>& Items() const { return items_; }

 private:
  std::vector<std::string> items_;
};

// Band index 0..5 follows this order.
const CContestRules& ContestBands();
const CContestRules& ContestModes();
constexpr int kBandCount = 6;

}  // namespace velmora
