#include "check/clock_offsets.h"

#include <algorithm>

#include "check/parallel_for.h"

namespace velmora::check {

namespace {

// The largest clock offset looked for: a PC clock on local time.
constexpr std::int64_t kLargestOffset = 15 * 60;
constexpr std::int64_t kJitter = 2;  // minutes of two clocks read to the minute

// How many of the two serials of a pair of lines disagree.
int Disagreement(const CheckQso& a, const CheckQso& b) {
  return (a.nr_rcvd != b.nr_sent) + (b.nr_rcvd != a.nr_sent);
}

// The differences of log `a`'s times from its partners' (offsets taken out
// of theirs): each QSO with the QSO naming `a` on its band whose serials
// agree best, of those the nearest.
std::vector<std::int64_t> Differences(const Contest& c, const std::vector<Index>& indexes,
                                      std::size_t a) {
  std::vector<std::int64_t> differences;
  for (const Entry& e : indexes[a]) {
    const std::int32_t b = c.log_of_call[e.worked];
    if (b < 0 || static_cast<std::size_t>(b) == a) continue;
    const CheckQso& own = c.logs[a].qsos[static_cast<std::size_t>(e.qso)];
    std::int64_t best = kLargestOffset + 1;
    int best_disagreement = 3;
    for (const Entry& f : EntriesOf(indexes[b], c.logs[a].call_id, e.band)) {
      const std::int64_t d = e.minute - Corrected(c, b, f.minute);
      if (Abs(d) > kLargestOffset) continue;
      const int disagreement = Disagreement(own, c.logs[b].qsos[static_cast<std::size_t>(f.qso)]);
      if (disagreement < best_disagreement || (disagreement == best_disagreement && Abs(d) < Abs(best))) {
        best = d;
        best_disagreement = disagreement;
      }
    }
    if (Abs(best) <= kLargestOffset) differences.push_back(best);
  }
  return differences;
}

// Per log, the logs it shares QSOs with either way.
std::vector<std::vector<std::int32_t>> PartnersOfLogs(const Contest& c,
                                                      const std::vector<Index>& indexes) {
  std::vector<std::vector<std::int32_t>> partners(c.logs.size());
  for (std::size_t a = 0; a < c.logs.size(); ++a)
    for (const Entry& e : indexes[a]) {
      const std::int32_t b = c.log_of_call[e.worked];
      if (b < 0 || static_cast<std::size_t>(b) == a) continue;
      partners[a].push_back(b);
      partners[static_cast<std::size_t>(b)].push_back(static_cast<std::int32_t>(a));
    }
  for (auto& p : partners) {
    std::sort(p.begin(), p.end());
    p.erase(std::unique(p.begin(), p.end()), p.end());
  }
  return partners;
}

// Whether finding x is clearer than y: a larger share of agreeing
// differences, then the larger offset, then more differences.
bool Clearer(const OffsetFinding& x, const OffsetFinding& y) {
  const long long lx = static_cast<long long>(x.agreeing) * y.pairs;
  const long long ly = static_cast<long long>(y.agreeing) * x.pairs;
  if (lx != ly) return lx > ly;
  if (Abs(x.offset) != Abs(y.offset)) return Abs(x.offset) > Abs(y.offset);
  return x.pairs > y.pairs;
}

}  // namespace

OffsetFinding MeasureOffset(std::vector<std::int64_t> differences) {
  OffsetFinding f;
  f.pairs = static_cast<int>(differences.size());
  if (differences.size() < 3) return f;
  std::sort(differences.begin(), differences.end());
  const std::size_t n = differences.size();
  const std::int64_t median = n % 2 ? differences[n / 2] : (differences[n / 2 - 1] + differences[n / 2]) / 2;
  if (Abs(median) < kJitter) return f;
  f.offset = static_cast<int>(median);
  for (std::int64_t d : differences) f.agreeing += Abs(d - median) <= kJitter;
  return f;
}

void FindClockOffsets(Contest& c, const std::vector<Index>& indexes, int jobs) {
  const std::vector<std::vector<std::int32_t>> partners = PartnersOfLogs(c, indexes);
  std::vector<bool> settled(c.logs.size(), false);
  std::vector<char> stale(c.logs.size(), 1);  // a partner's offset changed since the last measure
  std::vector<OffsetFinding> found(c.logs.size());
  for (;;) {
    ParallelFor(c.logs.size(), jobs, [&](std::size_t a) {
      if (!settled[a] && stale[a]) found[a] = MeasureOffset(Differences(c, indexes, a));
      stale[a] = 0;
    });
    std::vector<std::size_t> outliers;
    for (std::size_t a = 0; a < c.logs.size(); ++a) {
      if (!settled[a]) c.logs[a].offset_pairs = found[a].pairs;
      if (!settled[a] && found[a].offset != 0) outliers.push_back(a);
    }
    if (outliers.empty()) return;
    std::sort(outliers.begin(), outliers.end(), [&](std::size_t x, std::size_t y) {
      if (Clearer(found[x], found[y])) return true;
      if (Clearer(found[y], found[x])) return false;
      return x < y;
    });
    std::vector<char> touched(c.logs.size(), 0);  // a partner of a log settled this round
    for (std::size_t a : outliers) {
      if (touched[a]) continue;
      settled[a] = true;
      c.logs[a].offset_minutes += found[a].offset;
      for (std::int32_t b : partners[a]) touched[static_cast<std::size_t>(b)] = stale[static_cast<std::size_t>(b)] = 1;
    }
  }
}

}  // namespace velmora::check
