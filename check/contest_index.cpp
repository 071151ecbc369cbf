#include "check/contest_index.h"

#include <algorithm>
#include <tuple>

#include "check/parallel_for.h"

namespace velmora::check {

std::vector<Index> BuildIndexes(const Contest& c, int jobs) {
  std::vector<Index> indexes(c.logs.size());
  ParallelFor(c.logs.size(), jobs, [&](std::size_t i) {
    const Entrant& log = c.logs[i];
    Index& index = indexes[i];
    for (std::size_t k = 0; k < log.qsos.size(); ++k) {
      const CheckQso& q = log.qsos[k];
      if (TakesPart(q)) index.push_back({q.call, q.band, q.minute, static_cast<std::int32_t>(k)});
    }
    std::sort(index.begin(), index.end(), [](const Entry& a, const Entry& b) {
      return std::tie(a.worked, a.band, a.qso) < std::tie(b.worked, b.band, b.qso);
    });
  });
  return indexes;
}

std::span<const Entry> EntriesOf(const Index& index, std::uint32_t worked, std::uint8_t band) {
  auto less = [](const Entry& e, std::pair<std::uint32_t, std::uint8_t> key) {
    return std::tie(e.worked, e.band) < std::tie(key.first, key.second);
  };
  auto first = std::lower_bound(index.begin(), index.end(), std::pair{worked, band}, less);
  auto last = first;
  while (last != index.end() && last->worked == worked && last->band == band) ++last;
  return {first, last};
}

}  // namespace velmora::check
