#pragma once

#include <cstdint>

namespace velmora {

// What scoring needs of one stored QSO, packed small so that a result pass
// over a big log stays a walk over a dense array.
struct ScoreKey {
  static constexpr std::uint8_t kNoBand = 0xff;
  enum Flags : std::uint8_t {
    kCallEmpty = 1,
    kBad = 2,
    kDupe = 4,
    kTimeValid = 8,
  };

  // The QSO time on a linear day scale; +infinity for a time that is not
  // valid, so that it is never before a given moment.
  double days = 0;
  std::uint32_t prefix = 0;     // id in the log's prefix pool
  std::uint32_t continent = 0;  // id in the log's continent pool
  std::uint8_t band = kNoBand;  // index among the contest's bands
  std::uint8_t flags = 0;

  bool Has(Flags f) const { return (flags & f) != 0; }
};

}  // namespace velmora
