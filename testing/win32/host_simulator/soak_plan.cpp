#include "testing/win32/host_simulator/soak_plan.h"

#include <cstdlib>
#include <string_view>

namespace velmora::testing {

namespace {

constexpr const char* kBands[] = {"160m", "80m", "40m", "20m", "15m", "10m"};
constexpr unsigned int kBandHz[] = {1830000, 3520000, 7010000, 14020000, 21020000, 28020000};
constexpr const char* kPrefixes[] = {"F", "DL", "K", "I", "JA", "UA", "OK", "G"};
constexpr const char* kContinents[] = {"EU", "EU", "NA", "EU", "AS", "EU", "EU", "EU"};
constexpr int kCallPool = 8000;

std::string CallOf(int index) { return kPrefixes[index % 8] + std::to_string(index); }

}  // namespace

SoakPlan ShortSoak() { return {"short", 5000, 6000, 120, 100, 40, 8, 4}; }

SoakPlan SmallSoak() { return {"small", 2000, 1500, 40, 40, 16, 4, 4}; }

SoakPlan FullSoak() { return {"full", 20000, 100000, 2000, 500, 200, 20, 10}; }

SoakPlan ChosenSoak() {
  const char* value = std::getenv("VELMORA_SOAK");
  const std::string_view chosen = value ? value : "";
  if (chosen == "full") return FullSoak();
  if (chosen == "small") return SmallSoak();
  return ShortSoak();
}

QsoArgs SoakContest::Qso(int n) {
  const int call = Pick(kCallPool);
  const int band = Pick(6);
  QsoArgs q;
  q.own_call = "DL1ABC";
  q.call = CallOf(call);
  q.time = COleDateTime::FromParts(2017, 6, 3, 12, 0, 0);
  q.time = COleDateTime(q.time.Days() + n * 1.7 / 86400.0, COleDateTime::kValid);
  q.freq_hz = kBandHz[band] + static_cast<unsigned int>(Pick(20)) * 1000;
  q.mode = Pick(300) == 0 ? "SSB" : "CW";
  q.rst_sent = "599";
  q.rst_rcvd = "599";
  q.nr_sent = std::to_string(n + 1);
  q.nr_rcvd = std::to_string(Pick(3000) + 1);
  q.prefix = kPrefixes[call % 8];
  q.continent = kContinents[call % 8];
  q.band = Pick(200) == 0 ? "30m" : kBands[band];
  return q;
}

SoakContest::Typed SoakContest::Typing(int n) {
  const int call = Pick(kCallPool);
  const int band = n % 6;
  return {CallOf(call), kPrefixes[call % 8], kBands[band],
          kBandHz[band] + 1000.0 * Pick(30)};
}

}  // namespace velmora::testing
