#include "engine/band_lists.h"

#include <algorithm>

namespace velmora {

void BandLists::NoteBand(std::string_view band) {
  if (std::find(BandsWorked.begin(), BandsWorked.end(), band) == BandsWorked.end())
    BandsWorked.emplace_back(band);
}

void BandLists::ResetRows() {
  const auto& names = ContestBands().Items();
  for (int i = 0; i < kBandCount; ++i)
    BandRows[static_cast<std::size_t>(i)] = {names[static_cast<std::size_t>(i)],
                                             "-", "-", "-", "-"};
}

void BandLists::ClearWorkedAndMults() {
  BandsWorked.clear();
  for (auto& list : BandMults) list.clear();
}

}  // namespace velmora
