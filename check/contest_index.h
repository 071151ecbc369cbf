#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "check/contest.h"

// The check's look-ups into the logs: per log, the lines that take part in
// the judging, by worked call, band and time.

namespace velmora::check {

// One line of a log, in its log's index.
struct Entry {
  std::uint32_t worked;
  std::uint8_t band;
  std::int64_t minute;  // as logged
  std::int32_t qso;
};
using Index = std::vector<Entry>;

// Whether a line takes part in the judging: stored by the plug-in (a dupe of
// its rule too), on a contest band, not outside the contest period.
inline bool TakesPart(const CheckQso& q) {
  return q.stored != Stored::kRejected && q.band != kNoBand && q.period != Period::kOutside;
}

inline std::int64_t Corrected(const Contest& c, std::size_t log, std::int64_t minute) {
  return minute - c.logs[log].offset_minutes;
}

inline std::int64_t Abs(std::int64_t v) { return v < 0 ? -v : v; }

// Per log, its lines that take part, sorted by worked call, band and file order.
std::vector<Index> BuildIndexes(const Contest& contest, int jobs);

// The entries of `index` with this worked call and band.
std::span<const Entry> EntriesOf(const Index& index, std::uint32_t worked, std::uint8_t band);

}  // namespace velmora::check
