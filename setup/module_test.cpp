#include "setup/module.h"

#include <gtest/gtest.h>

#include "engine/bad_qso_line.h"
#include "testing/module_fixture.h"

namespace velmora {
namespace {

using testing::At;
using testing::Qso;

constexpr char kHeading[] = "Velmora Memorial Contest HF UBN file \r\n";

class ModuleTest : public testing::ModuleFixture, public ::testing::Test {
 protected:
  void SetUp() override { module.ResetStats(Reset()); }
  std::vector<int> DupeFlags() {
    std::vector<int> flags;
    for (const CInfo& r : module.LogCopy()) flags.push_back(r.Dupe * 10 + r.Bad);
    return flags;
  }
};

TEST_F(ModuleTest, ChecksBandBeforeModeBeforeSerials) {
  QsoArgs wrong_both = Qso("F5ABC", "F", "EU", At(12, 0), "30m");
  wrong_both.mode = "SSB";
  QsoArgs wrong_mode = Qso("F5ABC", "F", "EU", At(12, 1));
  wrong_mode.mode = "SSB";
  wrong_mode.nr_rcvd = "";
  QsoArgs no_sent = Qso("F5ABC", "F", "EU", At(12, 2));
  no_sent.nr_sent = "";
  QsoArgs far_freq = Qso("F5ABC", "F", "EU", At(12, 3));
  far_freq.freq_hz = 7010000;
  EXPECT_EQ(module.AddData(wrong_both), 0);
  EXPECT_EQ(module.AddData(wrong_mode), 0);
  EXPECT_EQ(module.AddData(no_sent), 0);
  EXPECT_EQ(module.AddData(far_freq), 1);
  EXPECT_EQ(BadQsoFile(),
            std::string(kHeading) + BadQsoLine(wrong_both, "   WRONG BAND !!!") +
                BadQsoLine(wrong_mode, "   WRONG MODE !!!") +
                BadQsoLine(no_sent, "   NO RX NUMBER !!!"));
  EXPECT_EQ(module.LogCopy().size(), 1u);
  EXPECT_EQ(module.ListsCopy().BandsWorked, std::vector<std::string>{"20m"});
}

TEST_F(ModuleTest, DupesAreStoredFlaggedAndListed) {
  QsoArgs first = Qso("F5ABC", "F", "EU", At(12, 0));
  QsoArgs again = Qso("F5ABC", "F", "EU", At(12, 5));
  EXPECT_EQ(module.AddData(first), 1);
  EXPECT_EQ(module.AddData(again), 1);
  EXPECT_EQ(module.AddData(Qso("F5ABC", "F", "EU", At(12, 6), "40m")), 1);
  EXPECT_EQ(module.AddData(Qso("f5abc", "F", "EU", At(12, 7))), 1);
  EXPECT_EQ(DupeFlags(), (std::vector<int>{0, 11, 0, 0}));
  EXPECT_EQ(BadQsoFile(), std::string(kHeading) + BadQsoLine(again, "   DUPE !!!"));
}

TEST_F(ModuleTest, RemovalTakesTheQsoWithTheSameTime) {
  module.AddData(Qso("F5ABC", "F", "EU", At(12, 0), "40m"));
  module.AddData(Qso("F5ABC", "F", "EU", At(12, 0)));
  module.AddData(Qso("F5ABC", "F", "EU", At(12, 30)));
  EXPECT_EQ(module.RemoveData(Qso("F5ABC", "F", "EU", At(12, 30))), 1);
  QsoLog log = module.LogCopy();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[1].Time.Days(), At(12, 0).Days());
  // No match: nothing changes, and the answer is still 1.
  EXPECT_EQ(module.RemoveData(Qso("F5ABC", "F", "EU", At(12, 31))), 1);
  EXPECT_EQ(module.LogCopy().size(), 2u);
}

TEST_F(ModuleTest, RemovalComparesTimeStatuses) {
  QsoArgs invalid = Qso("F5ABC", "F", "EU", COleDateTime(42889.5, COleDateTime::kInvalid));
  QsoArgs null_time = Qso("G4AAA", "G", "EU", COleDateTime(1.0, COleDateTime::kNull));
  module.AddData(invalid);
  module.AddData(null_time);
  module.RemoveData(invalid);  // two invalid times are never equal
  EXPECT_EQ(module.LogCopy().size(), 2u);
  null_time.time = COleDateTime(7.0, COleDateTime::kNull);
  module.RemoveData(null_time);
  ASSERT_EQ(module.LogCopy().size(), 1u);
  EXPECT_EQ(module.LogCopy()[0].Call, "F5ABC");
}

TEST_F(ModuleTest, RemovingTheCountedQsoPromotesTheNextDupe) {
  QsoArgs first = Qso("F5ABC", "F", "EU", At(12, 0));
  QsoArgs second = Qso("F5ABC", "F", "EU", At(12, 5));
  QsoArgs third = Qso("F5ABC", "F", "EU", At(12, 5));
  third.nr_rcvd = "099";
  module.AddData(first);
  module.AddData(second);
  module.AddData(third);
  module.RemoveData(first);
  EXPECT_EQ(DupeFlags(), (std::vector<int>{0, 11}));
  EXPECT_EQ(BadQsoFile(), std::string(kHeading) + BadQsoLine(third, "   DUPE !!!"));
}

TEST_F(ModuleTest, RemovingADupeTakesOnlyItsLine) {
  QsoArgs first = Qso("F5ABC", "F", "EU", At(12, 0));
  QsoArgs second = Qso("F5ABC", "F", "EU", At(12, 5));
  QsoArgs rejected = Qso("F5ABC", "F", "EU", At(12, 5), "17m");
  module.AddData(first);
  module.AddData(second);
  module.AddData(rejected);
  module.RemoveData(second);
  EXPECT_EQ(DupeFlags(), (std::vector<int>{0}));
  EXPECT_EQ(BadQsoFile(), std::string(kHeading) + BadQsoLine(rejected, "   WRONG BAND !!!"));
  module.RemoveData(rejected);
  EXPECT_EQ(BadQsoFile(), kHeading);
}

TEST_F(ModuleTest, EveryRemovalRewritesTheBadQsoFile) {
  QsoArgs rejected = Qso("F5ABC", "F", "EU", At(12, 5), "17m");
  QsoArgs counted = Qso("G4AAA", "G", "EU", At(12, 6));
  module.AddData(rejected);
  module.AddData(counted);
  const std::string kept = std::string(kHeading) + BadQsoLine(rejected, "   WRONG BAND !!!");
  // Deleted or emptied outside the plug-in: the next removal writes it whole,
  // whether the QSO was never added, had no line, or had one.
  files.files.erase("BadQSO_StatsZEB_04_06_2017.txt");
  module.RemoveData(Qso("X1X", "F", "EU", At(1, 0)));
  EXPECT_EQ(BadQsoFile(), kept);
  files.files["BadQSO_StatsZEB_04_06_2017.txt"] = "";
  module.RemoveData(counted);
  EXPECT_EQ(BadQsoFile(), kept);
  files.files["BadQSO_StatsZEB_04_06_2017.txt"] = "";
  module.RemoveData(rejected);
  EXPECT_EQ(BadQsoFile(), kHeading);
}

TEST_F(ModuleTest, EmptyingTheLogClearsBandsAndMultipliers) {
  QsoArgs q = Qso("F5ABC", "F", "EU", At(12, 0));
  module.AddData(q);
  module.GetResult(nullptr);
  EXPECT_FALSE(module.ListsCopy().BandMults[3].empty());
  module.RemoveData(q);
  BandLists lists = module.ListsCopy();
  EXPECT_TRUE(lists.BandsWorked.empty());
  EXPECT_TRUE(lists.BandMults[3].empty());
}

TEST_F(ModuleTest, CapitalBandIsStoredRemovedAndDupedAsTheContestBand) {
  module.AddData(Qso("F5ABC", "F", "EU", At(12, 0), "20m"));
  module.AddData(Qso("F5ABC", "F", "EU", At(12, 1), "20M"));
  EXPECT_EQ(DupeFlags(), (std::vector<int>{0, 11}));
  EXPECT_EQ(module.LogCopy()[1].Band, "20m");
  EXPECT_EQ(module.ListsCopy().BandsWorked, std::vector<std::string>{"20m"});
  module.RemoveData(Qso("F5ABC", "F", "EU", At(12, 1), "20M"));
  EXPECT_EQ(module.LogCopy().size(), 1u);
}

TEST_F(ModuleTest, AddBeforeAnyResetStoresButWritesNoLine) {
  testing::ModuleFixture fresh;
  EXPECT_EQ(fresh.module.AddData(Qso("F5ABC", "F", "EU", At(12, 0))), 1);
  EXPECT_EQ(fresh.module.AddData(Qso("F5ABC", "F", "EU", At(12, 1))), 1);
  EXPECT_EQ(fresh.module.AddData(Qso("F5ABC", "F", "EU", At(12, 2), "30m")), 0);
  EXPECT_EQ(fresh.module.LogCopy().size(), 2u);
  EXPECT_TRUE(fresh.files.files.empty());
}

TEST_F(ModuleTest, CheckCallPostsOneStatusUpdateUntilTheFlagIsSetAgain) {
  CheckCallArgs ask;
  ask.call = "F5ABC";
  ask.mode = "CW";
  ask.band = "20m";
  windows.setup_open = false;
  module.CheckCall(ask, nullptr);
  EXPECT_EQ(windows.status_updates, 0);  // no setup window
  EXPECT_TRUE(module.update_ready());
  windows.setup_open = true;
  module.CheckCall(ask, nullptr);
  module.CheckCall(ask, nullptr);
  EXPECT_EQ(windows.status_updates, 1);
  EXPECT_FALSE(module.update_ready());
  module.RemoveData(Qso("X", "F", "EU", At(1, 0)));
  EXPECT_EQ(windows.status_updates, 2);
  EXPECT_TRUE(module.update_ready());
  module.CheckCall(ask, nullptr);
  EXPECT_EQ(windows.status_updates, 3);
}

TEST_F(ModuleTest, CheckCallFillsTheBufferOnlyForWorkableCalls) {
  QsoArgs q = Qso("F5ABC", "F", "EU", At(12, 0), "40m");
  q.nr_rcvd = "007";
  module.AddData(q);
  char buffer[10] = "unchanged";
  CheckCallArgs ask;
  ask.call = "F5ABC";
  ask.mode = "CW";
  ask.band = "20m";
  ask.band2 = "40m";
  EXPECT_EQ(module.CheckCall(ask, buffer), 4);
  EXPECT_STREQ(buffer, "unchanged");
  ask.band2 = "";
  EXPECT_EQ(module.CheckCall(ask, buffer), 2);
  EXPECT_STREQ(buffer, "007");
}

TEST_F(ModuleTest, SetupSetShowsItsOneMessage) {
  module.SetupSet();
  ASSERT_EQ(windows.messages.size(), 1u);
  EXPECT_EQ(windows.messages[0], "No additional setup for this plugin");
  EXPECT_EQ(windows.captions[0], "");
}

}  // namespace
}  // namespace velmora
