#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "check/contest.h"

// Each call's serial progression over the contest, as the logs tell it: the
// serials it sent, where it sent a log, else the serials the others copied
// from it, kept to the longest run of them that never goes down; on
// corrected times, numeric serials only.

namespace velmora::check {

struct SerialPoint {
  std::int64_t minute;  // corrected
  std::uint64_t serial;
};

// How a serial copied at a minute fits a call's progression.
struct SerialFit {
  std::int64_t distance;  // from the serial the call was sending then
  std::int64_t gap;       // minutes to the nearest point
  SerialPoint nearest;    // the call's serial nearest in time, the evidence
};

class CallSerials {
 public:
  explicit CallSerials(const Contest& contest);

  std::span<const SerialPoint> Of(std::uint32_t call) const;

  // The fit of `serial` copied from `call` at `minute`: the serial the call
  // was sending then, between its serials before and after at the pace it
  // kept between them (before its first or after its last, at its own rate
  // over the contest); nullopt when it has no serial within `window` minutes.
  std::optional<SerialFit> Fit(std::uint32_t call, std::int64_t minute, std::uint64_t serial,
                               int window) const;

 private:
  void KeepCopiesInOrder(const Contest& contest);

  std::vector<std::uint32_t> first_;  // per call, its first point; one more at the end
  std::vector<SerialPoint> points_;   // by call, then minute
  std::vector<double> rate_;          // per call, serials a minute
};

}  // namespace velmora::check
