#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "engine/contest_rules.h"

namespace velmora {

// The per-band lists that the result and the DXCC windows share.
struct BandLists {
  // Band names of stored QSOs, each once, in order of first appearance until
  // a result request sorts them.
  std::vector<std::string> BandsWorked;
  // Row i: the name of band i, then four "-" (the DXCC call view fills them).
  std::array<std::vector<std::string>, kBandCount> BandRows;
  // List i: the distinct prefixes counted as multipliers on band i.
  std::array<std::vector<std::string>, kBandCount> BandMults;

  void NoteBand(std::string_view band);
  void ResetRows();
  void ClearWorkedAndMults();
};

}  // namespace velmora
