#include "check/dupe_rule.h"

#include "check/contest_index.h"
#include "check/parallel_for.h"

namespace velmora::check {

namespace {

// Calls `choose` with each group of a log's lines of one call and band that
// still take part, in file order, as indexes into its QSOs.
template <typename Choose>
void ForEachGroup(Entrant& log, const Index& index, Choose choose) {
  for (CheckQso& q : log.qsos) q.counted = false;
  std::vector<std::int32_t> group;
  for (std::size_t i = 0; i < index.size();) {
    group.clear();
    std::size_t j = i;
    for (; j < index.size() && index[j].worked == index[i].worked && index[j].band == index[i].band; ++j)
      if (TakesPart(log.qsos[static_cast<std::size_t>(index[j].qso)])) group.push_back(index[j].qso);
    if (!group.empty()) log.qsos[static_cast<std::size_t>(choose(group))].counted = true;
    i = j;
  }
}

}  // namespace

void MarkFirstLines(Contest& c, const std::vector<Index>& indexes, int jobs) {
  ParallelFor(c.logs.size(), jobs, [&](std::size_t i) {
    ForEachGroup(c.logs[i], indexes[i], [](const std::vector<std::int32_t>& g) { return g.front(); });
  });
}

void SettleDupes(Contest& c, const std::vector<Index>& indexes, int jobs) {
  ParallelFor(c.logs.size(), jobs, [&](std::size_t i) {
    const Entrant& log = c.logs[i];
    ForEachGroup(c.logs[i], indexes[i], [&](const std::vector<std::int32_t>& g) {
      for (Link wanted : {Link::kMatch, Link::kBustOf})
        for (std::int32_t k : g)
          if (log.qsos[static_cast<std::size_t>(k)].link == wanted) return k;
      for (std::int32_t k : g)
        if (log.qsos[static_cast<std::size_t>(k)].link != Link::kNone) return k;
      return g.front();
    });
  });
}

}  // namespace velmora::check
