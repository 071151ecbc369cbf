#include "check/call_serials.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include "check/contest_index.h"

namespace velmora::check {

namespace {

constexpr std::uint64_t kTextSerial = std::uint64_t{1} << 62;  // empty or text: no number

bool Numeric(std::uint64_t serial) { return serial < kTextSerial; }

// Serials a minute over the middle of the points (the first and last tenth
// left out, where a serial copied wrong weighs most).
double RateOf(std::span<const SerialPoint> points) {
  if (points.size() < 2) return 0;
  const std::size_t cut = points.size() / 10;
  const SerialPoint& a = points[cut];
  const SerialPoint& b = points[points.size() - 1 - cut];
  if (b.minute <= a.minute || b.serial <= a.serial) return 0;
  return static_cast<double>(b.serial - a.serial) / static_cast<double>(b.minute - a.minute);
}

// The longest run of the points, in time order, whose serials never go down.
// A station's serials only grow, so where its serials are known only from
// what others copied, the copies off that run were copied wrong (35 copied
// at 17:08 between 18 at 17:02 and 22 at 17:13).
std::vector<SerialPoint> InOrder(std::span<const SerialPoint> points) {
  std::vector<std::size_t> tails;  // per run length, the index of the run's lowest last point
  std::vector<std::size_t> before(points.size());
  for (std::size_t i = 0; i < points.size(); ++i) {
    const auto at = std::upper_bound(tails.begin(), tails.end(), points[i].serial,
                                     [&](std::uint64_t s, std::size_t t) { return s < points[t].serial; });
    before[i] = at == tails.begin() ? points.size() : *(at - 1);
    if (at == tails.end()) tails.push_back(i);
    else *at = i;
  }
  std::vector<SerialPoint> run(tails.size());
  for (std::size_t i = tails.empty() ? points.size() : tails.back(), k = run.size(); k > 0;
       i = before[i])
    run[--k] = points[i];
  return run;
}

// Calls `add(call, point)` for every serial of the contest.
template <typename Add>
void EachSerial(const Contest& c, Add add) {
  for (std::size_t i = 0; i < c.logs.size(); ++i) {
    const Entrant& e = c.logs[i];
    for (const CheckQso& q : e.qsos) {
      if (!TakesPart(q)) continue;
      const std::int64_t minute = Corrected(c, i, q.minute);
      if (Numeric(q.nr_sent)) add(e.call_id, SerialPoint{minute, q.nr_sent});
      if (q.call != kNoId && c.log_of_call[q.call] < 0 && Numeric(q.nr_rcvd))
        add(q.call, SerialPoint{minute, q.nr_rcvd});
    }
  }
}

}  // namespace

// Counted first, then placed, so the points are held once; the copies of a
// call without a log are then kept to the run that grows.
CallSerials::CallSerials(const Contest& c) {
  first_.assign(c.calls.size() + 1, 0);
  EachSerial(c, [&](std::uint32_t call, const SerialPoint&) { ++first_[call + 1]; });
  for (std::size_t k = 1; k < first_.size(); ++k) first_[k] += first_[k - 1];
  points_.resize(first_.back());
  std::vector<std::uint32_t> next(first_.begin(), first_.end() - 1);
  EachSerial(c, [&](std::uint32_t call, const SerialPoint& p) { points_[next[call]++] = p; });
  for (std::uint32_t call = 0; call < c.calls.size(); ++call) {
    auto begin = points_.begin() + first_[call], end = points_.begin() + first_[call + 1];
    std::sort(begin, end, [](const SerialPoint& x, const SerialPoint& y) {
      return std::tie(x.minute, x.serial) < std::tie(y.minute, y.serial);
    });
  }
  KeepCopiesInOrder(c);
  rate_.resize(c.calls.size());
  for (std::uint32_t call = 0; call < c.calls.size(); ++call) rate_[call] = RateOf(Of(call));
}

void CallSerials::KeepCopiesInOrder(const Contest& c) {
  std::size_t kept = 0;
  for (std::uint32_t call = 0; call < c.calls.size(); ++call) {
    const std::size_t begin = first_[call];
    first_[call] = static_cast<std::uint32_t>(kept);
    const std::span<const SerialPoint> points(points_.data() + begin, first_[call + 1] - begin);
    if (c.log_of_call[call] >= 0) {  // its own serials, as it sent them
      if (kept != begin)
        std::copy(points.begin(), points.end(), points_.begin() + static_cast<std::ptrdiff_t>(kept));
      kept += points.size();
    } else {
      const std::vector<SerialPoint> run = InOrder(points);
      std::copy(run.begin(), run.end(), points_.begin() + static_cast<std::ptrdiff_t>(kept));
      kept += run.size();
    }
  }
  first_.back() = static_cast<std::uint32_t>(kept);
  points_.resize(kept);
}

std::span<const SerialPoint> CallSerials::Of(std::uint32_t call) const {
  if (call + 1 >= first_.size()) return {};
  return std::span<const SerialPoint>(points_).subspan(first_[call], first_[call + 1] - first_[call]);
}

std::optional<SerialFit> CallSerials::Fit(std::uint32_t call, std::int64_t minute,
                                          std::uint64_t serial, int window) const {
  if (!Numeric(serial)) return std::nullopt;
  const std::span<const SerialPoint> points = Of(call);
  // The first point after the minute, and the last one at or before it.
  const auto after = std::upper_bound(points.begin(), points.end(), minute,
                                      [](std::int64_t m, const SerialPoint& p) { return m < p.minute; });
  const SerialPoint* lo = after != points.begin() ? &*(after - 1) : nullptr;
  const SerialPoint* hi = after != points.end() ? &*after : nullptr;
  const SerialPoint* nearest =
      !hi || (lo && minute - lo->minute <= hi->minute - minute) ? lo : hi;
  if (!nearest || Abs(nearest->minute - minute) > window) return std::nullopt;
  double expected = 0;
  if (lo && hi) {  // between two of its serials: as many QSOs a minute as between them
    expected = static_cast<double>(lo->serial) +
               (static_cast<double>(hi->serial) - static_cast<double>(lo->serial)) *
                   static_cast<double>(minute - lo->minute) /
                   static_cast<double>(hi->minute - lo->minute);
  } else {  // before its first or after its last: at its own rate
    expected = static_cast<double>(nearest->serial) +
               rate_[call] * static_cast<double>(minute - nearest->minute);
  }
  return SerialFit{std::llround(std::abs(static_cast<double>(serial) - expected)),
                   Abs(nearest->minute - minute), *nearest};
}

}  // namespace velmora::check
