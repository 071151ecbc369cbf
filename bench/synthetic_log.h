#pragma once

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "testing/module_fixture.h"

namespace velmora {

// A contest log of n QSOs as big multi-operator stations make them: each call
// worked on two or three bands, about 3 % dupes and 1 % on a band outside the
// contest, in a shuffled order over 24 hours.
inline std::vector<QsoArgs> MakeLog(std::size_t n) {
  static const char* const kBands[] = {"160m", "80m", "40m", "20m", "15m", "10m"};
  static const char* const kContinents[] = {"EU", "NA", "AS", "AF", "SA", "OC"};
  std::mt19937 rng(7);
  std::vector<QsoArgs> log;
  log.reserve(n);
  for (unsigned id = 0; log.size() < n; ++id) {
    unsigned entity = id % 330;
    std::string call = "P" + std::to_string(entity) + "X" + std::to_string(id / 330);
    unsigned first_band = rng() % 6;
    for (unsigned k = 0, bands = 2 + rng() % 2; k < bands && log.size() < n; ++k) {
      log.push_back(testing::Qso(call, "P" + std::to_string(entity), kContinents[entity % 6],
                                 testing::At(0, 0), kBands[(first_band + k) % 6]));
      if (rng() % 100 < 1) log.back().band = "30m";
    }
  }
  std::shuffle(log.begin(), log.end(), rng);
  for (std::size_t i = 0; i < n; ++i) {
    if (i > 10 && rng() % 100 < 3) log[i] = log[rng() % i];  // a dupe
    int minute = static_cast<int>(i * 1440 / n);
    log[i].time = COleDateTime::FromParts(2017, 6, 3 + minute / 1440, minute / 60 % 24,
                                          minute % 60, 0);
    log[i].nr_sent = std::to_string(i + 1);
  }
  return log;
}

}  // namespace velmora
