#include <algorithm>

#include "report/contest_report.h"

namespace velmora {

BestWindow BestWindowOf(const std::vector<Seconds>& times, int minutes) {
  BestWindow best;
  best.minutes = minutes;
  const Seconds length = Seconds{minutes} * 60;
  std::size_t end = 0;
  for (std::size_t begin = 0; begin < times.size(); ++begin) {
    end = std::max(end, begin);
    while (end < times.size() && times[end] < times[begin] + length) ++end;
    const int qsos = static_cast<int>(end - begin);
    if (qsos > best.qsos) best.qsos = qsos, best.start = times[begin];
  }
  return best;
}

std::optional<double> LastRate(const std::vector<Seconds>& times, std::size_t count) {
  if (times.size() < 2 || count == 0) return std::nullopt;
  const bool whole = times.size() <= count;
  const Seconds from = whole ? times.front() : times[times.size() - 1 - count];
  const Seconds span = times.back() - from;
  if (span <= 0) return std::nullopt;
  const double qsos = static_cast<double>(whole ? times.size() - 1 : count);
  return qsos * 3600.0 / static_cast<double>(span);
}

std::vector<Break> BreaksOf(const std::vector<Seconds>& times, Seconds start, Seconds end,
                            int minutes) {
  std::vector<Break> breaks;
  const Seconds least = Seconds{minutes} * 60;
  Seconds last = start;
  auto gap_to = [&](Seconds t) {
    t = std::clamp(t, start, std::max(start, end));
    if (t - last >= least) breaks.push_back({last, t});
    last = std::max(last, t);
  };
  for (Seconds t : times) gap_to(t);
  gap_to(end);
  return breaks;
}

}  // namespace velmora
