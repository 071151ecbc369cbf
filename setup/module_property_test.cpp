// Random sequences of adds, removals, call checks and result requests, run
// through the module and through the plain-scan yardstick: every answer, the
// result text and the bad-QSO file must be identical.

#include <gtest/gtest.h>

#include <random>

#include "results/result_text.h"
#include "testing/module_fixture.h"
#include "testing/plain_scan_engine.h"

namespace velmora {
namespace {

template <typename T, std::size_t N>
const T& Pick(std::mt19937& rng, const T (&items)[N]) {
  return items[std::uniform_int_distribution<std::size_t>(0, N - 1)(rng)];
}

class Generator {
 public:
  explicit Generator(unsigned seed) : rng_(seed) {}

  QsoArgs Qso() {
    static const char* const kCalls[] = {"F5ABC", "f5abc", "DL1A", "W1AW", "IT9X", "JA1Z", ""};
    static const char* const kBands[] = {"20m", "20M", "40m", "10m", "160m", "30m"};
    static const char* const kModes[] = {"CW", "CW", "CW", "cw", "SSB"};
    static const char* const kSerials[] = {"001", "042", "1432", ""};
    static const char* const kPrefixes[] = {"F", "DL", "K", "IT9", "IG9", "I", "JA"};
    static const char* const kContinents[] = {"EU", "NA", "AS"};
    QsoArgs q = testing::Qso(Pick(rng_, kCalls), Pick(rng_, kPrefixes),
                             Pick(rng_, kContinents), Time(), Pick(rng_, kBands));
    q.mode = Pick(rng_, kModes);
    q.nr_rcvd = Pick(rng_, kSerials);
    if (Chance(10)) q.nr_sent = "";
    return q;
  }
  CheckCallArgs Check() {
    QsoArgs q = Qso();
    CheckCallArgs a;
    a.call = q.call;
    a.mode = q.mode;
    a.prefix = q.prefix;
    a.band = q.band;
    if (Chance(10)) a.band2 = Qso().band;
    return a;
  }
  bool Chance(int percent) {
    return std::uniform_int_distribution<int>(0, 99)(rng_) < percent;
  }
  std::size_t Below(std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_);
  }

 private:
  COleDateTime Time() {
    if (Chance(5)) return COleDateTime(42889.5, COleDateTime::kInvalid);
    if (Chance(5)) return COleDateTime(0.0, COleDateTime::kNull);
    return testing::At(12 + static_cast<int>(Below(3)), static_cast<int>(Below(4)) * 5);
  }
  std::mt19937 rng_;
};

class ModulePropertyTest : public testing::ModuleFixture,
                           public ::testing::TestWithParam<unsigned> {};

TEST_P(ModulePropertyTest, IndexedEngineAnswersLikeThePlainScans) {
  Generator gen(GetParam());
  testing::PlainScanEngine plain;
  std::vector<QsoArgs> handed_over;
  for (int step = 0; step < 400; ++step) {
    SCOPED_TRACE(step);
    if (step % 150 == 0) {
      module.ResetStats(Reset());
      plain.Reset(module.StationCopy());
      handed_over.clear();
    }
    int op = static_cast<int>(gen.Below(100));
    if (op < 55) {
      QsoArgs q = gen.Qso();
      ASSERT_EQ(module.AddData(q), plain.Add(q));
      handed_over.push_back(q);
    } else if (op < 75) {
      QsoArgs q = handed_over.empty() || gen.Chance(20) ? gen.Qso()
                                                        : handed_over[gen.Below(handed_over.size())];
      module.RemoveData(q);
      plain.Remove(q);
    } else if (op < 90) {
      CheckCallArgs a = gen.Check();
      char serial[10] = "-";
      CallCheckResult expected = plain.Check(a, module.host_version());
      ASSERT_EQ(module.CheckCall(a, serial), expected.code);
      ASSERT_EQ(serial, expected.workable ? expected.remembered_serial : "-");
    } else {
      std::string text = module.GetResult(nullptr);
      ScoreSheet sheet = plain.Score(false);
      Station station = module.StationCopy();
      ASSERT_EQ(text, RenderResultText({sheet, station, false, plain.RejectedCount()}));
      BandLists lists = module.ListsCopy();
      ASSERT_EQ(lists.BandsWorked, plain.lists().BandsWorked);
      // The multiplier lists, each in the order its prefixes were first counted.
      ASSERT_EQ(lists.BandMults, plain.lists().BandMults);
    }
    ASSERT_EQ(BadQsoFile(), plain.BadQsoFile());
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, ModulePropertyTest, ::testing::Range(1u, 21u));

}  // namespace
}  // namespace velmora
