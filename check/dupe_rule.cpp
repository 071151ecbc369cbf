#include "check/dupe_rule.h"

#include <algorithm>
#include <tuple>

#include "check/contest_index.h"
#include "check/parallel_for.h"

namespace velmora::check {

namespace {

// Calls `choose` with each group of a log's lines of one call and band, in
// file order, as indexes into its QSOs.
template <typename Choose>
void ForEachGroup(Entrant& log, Choose choose) {
  std::vector<std::tuple<std::uint32_t, std::uint8_t, std::int32_t>> lines;
  for (std::size_t k = 0; k < log.qsos.size(); ++k) {
    CheckQso& q = log.qsos[k];
    q.counted = false;
    if (TakesPart(q)) lines.emplace_back(q.call, q.band, static_cast<std::int32_t>(k));
  }
  std::sort(lines.begin(), lines.end());
  std::vector<std::int32_t> group;
  for (std::size_t i = 0; i < lines.size();) {
    group.clear();
    std::size_t j = i;
    for (; j < lines.size() && std::get<0>(lines[j]) == std::get<0>(lines[i]) &&
           std::get<1>(lines[j]) == std::get<1>(lines[i]);
         ++j)
      group.push_back(std::get<2>(lines[j]));
    log.qsos[static_cast<std::size_t>(choose(group))].counted = true;
    i = j;
  }
}

}  // namespace

void MarkFirstLines(Contest& c, int jobs) {
  ParallelFor(c.logs.size(), jobs, [&](std::size_t i) {
    ForEachGroup(c.logs[i], [](const std::vector<std::int32_t>& g) { return g.front(); });
  });
}

void SettleDupes(Contest& c, int jobs) {
  ParallelFor(c.logs.size(), jobs, [&](std::size_t i) {
    const Entrant& log = c.logs[i];
    ForEachGroup(c.logs[i], [&](const std::vector<std::int32_t>& g) {
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
