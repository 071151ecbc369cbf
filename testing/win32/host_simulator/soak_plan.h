#pragma once

#include <random>
#include <string>

#include "engine/qso_args.h"

namespace velmora::testing {

// How much one soak of the DLL does. The work is spread evenly over
// `segments`; the resources are read before the first segment and after
// each one.
struct SoakPlan {
  const char* name;
  int qsos;             // handed over after every reset
  int refreshes;        // call checks that each end in a status refresh
  int results;          // result requests: text in the first segment, then pages
  int removals;         // each QSO removed is added again
  int reopenings;       // of both tool windows, toggling the on-top option
  int resets;           // each followed by the whole hand-over
  int segments;
};

// The soak of the x86_64 suite: a few minutes under Wine.
SoakPlan ShortSoak();
// A quarter of it, for the i686 suite: the emulated 32-bit Wine runs the
// refreshes about four times slower.
SoakPlan SmallSoak();
// Two days of contest operating, compressed: scripts/soak.sh.
SoakPlan FullSoak();
// By VELMORA_SOAK: "full", "small", otherwise the short soak.
SoakPlan ChosenSoak();

// The same contest every time: calls from a pool, six bands, a QSO every
// 1.7 seconds from the start, some dupes, a few on a band or in a mode that
// the contest rejects. The calls being typed come from the same pool.
class SoakContest {
 public:
  QsoArgs Qso(int n);
  // A call as the operator types it, and the frequency the host shows.
  struct Typed {
    std::string call;
    std::string prefix;
    std::string band;
    double frequency_hz;
  };
  Typed Typing(int n);
  int Pick(int below) { return std::uniform_int_distribution<int>(0, below - 1)(rng_); }

 private:
  std::mt19937 rng_{2017};
};

}  // namespace velmora::testing
