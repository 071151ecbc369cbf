#include "report/contest_report.h"

#include <gtest/gtest.h>

#include "testing/module_fixture.h"

namespace velmora {
namespace {

using testing::At;

Seconds S(int hour, int minute, int day = 3) { return *ToSeconds(At(hour, minute, 0, day)); }

// A hand-checked log for DL1ABC (DL, EU) in a period of 12:00 to 15:59: ten
// counted QSOs worth 34 points with 9 multipliers, a dupe, a QSO on 30 m.
class ContestReportTest : public ::testing::Test {
 protected:
  ContestReportTest() { fixture_.module.ResetStats(fixture_.Reset()); }

  void Add(const char* call, const char* prefix, const char* continent, int hour, int minute,
           const char* band) {
    QsoArgs q = testing::Qso(call, prefix, continent, At(hour, minute), band);
    if (!fixture_.module.AddData(q)) rejected_.push_back({q, ValidateQso(q)});
  }
  void AddHandCheckedLog() {
    Add("F5AAA", "F", "EU", 12, 0, "20m");
    Add("DL2AAA", "DL", "EU", 12, 5, "20m");
    Add("W1AAA", "K", "NA", 12, 40, "20m");
    Add("F5BBB", "F", "EU", 12, 45, "20m");
    Add("F5AAA", "F", "EU", 12, 50, "20m");  // dupe
    Add("JA1AAA", "JA", "AS", 12, 55, "40m");
    Add("F5CCC", "F", "EU", 13, 0, "40m");
    Add("G4AAA", "G", "EU", 13, 2, "40m");
    Add("OK1AAA", "OK", "EU", 13, 5, "30m");  // not a contest band
    Add("I5AAA", "I", "EU", 13, 8, "40m");
    Add("UA3AAA", "UA", "EU", 14, 10, "15m");
    Add("W2BBB", "K", "NA", 14, 15, "15m");
  }
  ContestReport Build(int break_minutes = 30) {
    ReportInput in = ReportInputOf(fixture_.module);
    in.start = At(12, 0);
    in.end = At(15, 59);
    in.rejected = rejected_;
    in.break_minutes = break_minutes;
    in.entity_names = {{"F", "France"}};
    return BuildContestReport(std::move(in));
  }

  testing::ModuleFixture fixture_;
  std::vector<RejectedQso> rejected_;
};

TEST_F(ContestReportTest, SummaryCountsWhatTheScoreCounts) {
  AddHandCheckedLog();
  const ContestReport r = Build();
  EXPECT_EQ(r.sheet.total.qsos, 10);
  EXPECT_EQ(r.sheet.total.points, 34);
  EXPECT_EQ(r.sheet.total.mults, 9);
  EXPECT_EQ(r.sheet.score, 306);
  EXPECT_EQ(r.sheet.total.dupes, 1);
  EXPECT_EQ(r.rejected, 1);
  ASSERT_EQ(r.rejected_qsos.size(), 1u);
  EXPECT_EQ(r.rejected_qsos[0].verdict, Verdict::kWrongBand);
  ASSERT_EQ(r.continents.size(), 3u);  // AS, EU, NA
  EXPECT_EQ(r.continents[1].continent, "EU");
  EXPECT_EQ(r.continents[1].qsos, 7);
  EXPECT_EQ(r.continents[1].points, 19);
  EXPECT_EQ(r.continents[2].points, 10);
  EXPECT_EQ(r.own_country, 1);
  EXPECT_EQ(r.own_continent, 6);
  EXPECT_EQ(r.other, 3);
  ASSERT_EQ(r.dupes.size(), 1u);
  EXPECT_EQ(r.dupes[0].call, "F5AAA");
  EXPECT_TRUE(r.dupes[0].first->SameTime(At(12, 0)));
}

TEST_F(ContestReportTest, HoursStackBandsAndEndOnTheFinalScore) {
  AddHandCheckedLog();
  const ContestReport r = Build();
  ASSERT_EQ(r.hours.size(), 4u);  // 12 to 15, the last one empty
  EXPECT_EQ(r.hours[0].start, S(12, 0));
  EXPECT_EQ(r.hours[0].qsos[3], 4);  // 20 m
  EXPECT_EQ(r.hours[0].qsos[2], 1);  // 40 m
  EXPECT_EQ(r.hours[0].points, 17);
  EXPECT_EQ(r.hours[0].new_mults, 4);
  EXPECT_EQ(r.hours[0].score_after, 68);
  EXPECT_EQ(r.hours[1].Qsos(), 3);
  EXPECT_EQ(r.hours[1].score_after, 26 * 7);
  EXPECT_EQ(r.hours[2].new_mults, 2);
  EXPECT_EQ(r.hours[3].Qsos(), 0);
  EXPECT_EQ(r.hours[3].score_after, r.sheet.score);
  EXPECT_EQ(r.outside_period, 0);
}

// The best hour runs from 12:05 over the full hour (5 and 3 QSOs in the
// clock hours); the dupe at 12:50 is not a QSO of the windows.
TEST_F(ContestReportTest, SlidingWindowsCrossClockHours) {
  AddHandCheckedLog();
  const ContestReport r = Build();
  EXPECT_EQ(r.best60.qsos, 6);
  EXPECT_EQ(r.best60.start, S(12, 5));
  EXPECT_EQ(r.best10.qsos, 3);
  EXPECT_EQ(r.best10.start, S(12, 55));
  ASSERT_TRUE(r.last10_rate);
  EXPECT_DOUBLE_EQ(*r.last10_rate, 4.0);  // 9 QSOs after the first in 135 minutes
  // The plug-in's own windows: the last QSO's band, 15 m.
  EXPECT_EQ(r.sheet.hour_qsos, 2);
  EXPECT_EQ(r.sheet.ten_points, 8);
}

TEST_F(ContestReportTest, BreaksIncludeTheEndOfThePeriodAndFollowTheThreshold) {
  AddHandCheckedLog();
  ContestReport r = Build();
  ASSERT_EQ(r.breaks.size(), 3u);
  EXPECT_EQ(r.breaks[0].start, S(12, 5));  // 35 minutes
  EXPECT_EQ(r.breaks[0].end, S(12, 40));
  EXPECT_EQ(r.breaks[1].start, S(13, 8));
  EXPECT_EQ(r.breaks[1].end, S(14, 10));
  EXPECT_EQ(r.breaks[2].end, S(15, 59));
  EXPECT_EQ(r.off_seconds, (35 + 62 + 104) * 60);
  EXPECT_EQ(r.on_seconds, (239 - 201) * 60);
  r = Build(36);
  EXPECT_EQ(r.breaks.size(), 2u);
  EXPECT_EQ(r.off_seconds, (62 + 104) * 60);
}

TEST_F(ContestReportTest, MultiplierGridKeepsTheFirstTimeOnEachBand) {
  AddHandCheckedLog();
  const ContestReport r = Build();
  ASSERT_EQ(r.mults.size(), 7u);  // DL F G I JA K UA
  const MultRow& f = r.mults[1];
  EXPECT_EQ(f.prefix, "F");
  EXPECT_EQ(f.name, "France");
  EXPECT_TRUE(f.worked[3] && f.worked[2] && !f.worked[4]);
  EXPECT_EQ(f.first[3], S(12, 0));
  EXPECT_EQ(f.first[2], S(13, 0));
}

// A log out of time order gives the same figures; a QSO dated years away
// does not stretch the chart.
TEST_F(ContestReportTest, OrderAndAStrayDateDoNotChangeTheFigures) {
  Add("W2BBB", "K", "NA", 14, 15, "15m");
  Add("F5AAA", "F", "EU", 12, 0, "20m");
  QsoArgs stray = testing::Qso("G4AAA", "G", "EU", COleDateTime::FromParts(2030, 1, 1, 0, 0, 0));
  fixture_.module.AddData(stray);
  const ContestReport r = Build();
  ASSERT_EQ(r.hours.size(), 4u);
  EXPECT_EQ(r.hours[0].qsos[3], 1);
  EXPECT_EQ(r.hours[2].qsos[4], 1);
  EXPECT_EQ(r.outside_period, 1);
  EXPECT_EQ(r.best60.start, S(12, 0));
}

TEST(OperatingTimeTest, RatesOverTheLastQsos) {
  const std::vector<Seconds> times{0, 600, 1200, 1800};
  EXPECT_DOUBLE_EQ(*LastRate(times, 2), 6.0);    // 2 QSOs in 20 minutes
  EXPECT_DOUBLE_EQ(*LastRate(times, 100), 6.0);  // 3 after the first in 30
  EXPECT_FALSE(LastRate({0}, 10));
  EXPECT_FALSE(LastRate({60, 60}, 10));
  EXPECT_EQ(BestWindowOf({}, 60).qsos, 0);
  EXPECT_TRUE(BreaksOf({}, 0, 1800, 30).size() == 1);
}

}  // namespace
}  // namespace velmora
