// Loads the built plug-in library and hands it values no real host sends but
// any host may. A program of its own: the library's one module keeps its
// start rule and version from test to test, and the contest of library_test
// needs it fresh.

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <string>

#include "plugin/exports.h"
#include "testing/library_fixture.h"

namespace {

// Values no real host sends but any host may: dates far outside every
// calendar, no numbers at all under a valid status, frequencies at the ends
// of their range. The test programs run with floating-point traps on, so a
// fault of the core on any of them is a crash here.
TEST_F(LibraryTest, AbsurdDatesAndFrequenciesRaiseNoFloatingPointFault) {
  auto reset = Get<decltype(ResetStats0)>("ResetStats0");
  auto add = Get<decltype(AddData0)>("AddData0");
  auto check = Get<decltype(CheckCall0)>("CheckCall0");
  auto result = Get<decltype(GetResult0)>("GetResult0");
  constexpr double kMax = std::numeric_limits<double>::max();
  const double absurd[] = {1e300, -1e300, kMax, -kMax, 2958466.0, -657435.0,
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::quiet_NaN(),
                           std::bit_cast<double>(std::uint64_t{0x7ff0000000000001}),
                           std::numeric_limits<double>::denorm_min()};
  const char* e = "";
  for (double last : absurd) {
    COleDateTime start(-kMax, COleDateTime::kValid), end(last, COleDateTime::kValid);
    reset("", 0, "DL1ABC", &start, &end, e, e, e, e, e, e, e, e, e, "DL", 0, 0, 0, 0.0,
          0.0, e, "EU", e);
    unsigned int freq = 0;
    for (double days : absurd) {
      COleDateTime t(days, COleDateTime::kValid);
      add("DL1ABC", "F5ABC", &t, nullptr, nullptr, nullptr, 0, freq, "CW", "599", "599",
          "001", "002", e, e, e, e, e, e, e, e, e, "F", 0, 0, 0, kMax, -kMax, e, "EU", e,
          "20m", e);
      freq = ~freq;
    }
    COleDateTime t(last, COleDateTime::kValid);
    add("DL1ABC", "DL2AB", &t, nullptr, nullptr, nullptr, 0, 14025000, "CW", "599", "599",
        "001", "002", e, e, e, e, e, e, e, e, e, "DL", 0, 0, 0, 0.0, 0.0, e, "EU", e, "20m",
        e);
    char serial[10] = "";
    check("F5ABC", 0, 0, "CW", e, e, e, e, e, e, e, e, e, "F", 0, 0, 0, kMax, kMax, e, e, e,
          e, e, "20m", nullptr, serial, nullptr);
    int score = 0;
    // One counted QSO of each call, ten dupes: as text or as the page.
    const std::string text = result(&score);
    EXPECT_TRUE(text.find("Score: 4*2 = 8\r\n") != std::string::npos ||
                text.find("4 * 2 = 8") != std::string::npos)
        << text;
  }
}

}  // namespace
