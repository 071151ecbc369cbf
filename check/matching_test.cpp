#include "check/matching.h"

#include <gtest/gtest.h>

#include "check/check_test_contest.h"
#include "check/rulings.h"
#include "engine/ole_date_time.h"
#include "engine/text_format.h"

namespace velmora::check {
namespace {

// One QSO line: band in kHz, time HHMM on 2017-06-03, own call, sent, worked call, received.
std::string Q(int khz, const char* hhmm, const char* own, const char* sent, const char* call,
              const char* rcvd, const char* date = "2017-06-03") {
  return std::to_string(khz) + " CW " + date + " " + hhmm + " " + own + " 599 " + sent + " " +
         call + " 599 " + rcvd;
}

TEST(Matching, WindowEdgesAreInclusive) {
  // Serials copied wrong both ways: beyond the window nothing tells it was one QSO.
  Contest c = BuildContest({
      {"DL1AAA", {Q(14025, "1200", "DL1AAA", "1", "OK1BBB", "1"),
                  Q(14025, "1200", "DL1AAA", "2", "OK1CCC", "9")}},
      {"OK1BBB", {Q(14025, "1205", "OK1BBB", "1", "DL1AAA", "1")}},
      {"OK1CCC", {Q(14025, "1206", "OK1CCC", "1", "DL1AAA", "8")}},
  });
  EXPECT_EQ(VerdictAt(c, "DL1AAA", 3), "ok");
  EXPECT_EQ(PartnerLine(c, "DL1AAA", 3), 3);
  EXPECT_EQ(VerdictAt(c, "DL1AAA", 4), "nil");
  EXPECT_EQ(VerdictAt(c, "OK1CCC", 3), "nil");

  MatchOptions wide;
  wide.window_minutes = 6;
  Contest w = BuildContest({{"DL1AAA", {Q(14025, "1200", "DL1AAA", "2", "OK1CCC", "1")}},
                            {"OK1CCC", {Q(14025, "1206", "OK1CCC", "1", "DL1AAA", "2")}}},
                           wide);
  EXPECT_EQ(VerdictAt(w, "DL1AAA", 3), "ok");
}

TEST(Matching, ASerialCopiedAsSentMatchesBeyondTheWindow) {
  // A clock that is off for one QSO only (a paper log typed in afterwards):
  // DL1AAA's serial 2 copied by OK1CCC 13 minutes later is that QSO.
  const std::vector<TestLog> logs{
      {"DL1AAA", {Q(14025, "1200", "DL1AAA", "2", "OK1CCC", "5"),
                  Q(14025, "1200", "DL1AAA", "3", "OK1DDD", "7"),
                  Q(14025, "1200", "DL1AAA", "4", "OK1EEE", "8")}},
      {"OK1CCC", {Q(14025, "1213", "OK1CCC", "25", "DL1AAA", "2")}},
      {"OK1DDD", {Q(14025, "1231", "OK1DDD", "7", "DL1AAA", "3")}},   // beyond 30 minutes
      {"OK1EEE", {Q(14025, "1210", "OK1EEE", "9", "DL1AAA", "1")}}};  // no serial agrees
  MatchOptions o;
  o.clock_offsets = false;  // three lines of one log, each its own difference
  Contest c = BuildContest(logs, o);
  EXPECT_EQ(VerdictAt(c, "DL1AAA", 3), "bad-exchange");
  EXPECT_EQ(PartnerLine(c, "DL1AAA", 3), 3);
  EXPECT_EQ(VerdictAt(c, "OK1CCC", 3), "ok");
  EXPECT_EQ(VerdictAt(c, "DL1AAA", 4), "nil");
  EXPECT_EQ(VerdictAt(c, "OK1DDD", 3), "nil");
  EXPECT_EQ(VerdictAt(c, "DL1AAA", 5), "nil");
  EXPECT_EQ(VerdictAt(c, "OK1EEE", 3), "nil");

  MatchOptions none = o;
  none.serial_window_minutes = 0;
  EXPECT_EQ(VerdictAt(BuildContest(logs, none), "DL1AAA", 3), "nil");
}

TEST(Matching, TwoQsosOfOnePairOnOneBandEachMatchTheirOwn) {
  Contest c = BuildContest({
      {"DL1AAA", {Q(14025, "1200", "DL1AAA", "1", "OK1BBB", "1"),
                  Q(14025, "1204", "DL1AAA", "2", "OK1BBB", "2")}},
      {"OK1BBB", {Q(14025, "1201", "OK1BBB", "1", "DL1AAA", "1"),
                  Q(14025, "1206", "OK1BBB", "2", "DL1AAA", "2")}},
  });
  EXPECT_EQ(VerdictAt(c, "DL1AAA", 3), "ok");
  EXPECT_EQ(PartnerLine(c, "DL1AAA", 3), 3);
  EXPECT_EQ(VerdictAt(c, "DL1AAA", 4), "dupe");  // the plug-in's dupe rule stands
  EXPECT_EQ(PartnerLine(c, "DL1AAA", 4), 4);
  EXPECT_EQ(PartnerLine(c, "OK1BBB", 3), 3);
  EXPECT_EQ(PartnerLine(c, "OK1BBB", 4), 4);
}

TEST(Matching, BustedCallNamesTheCallThatSentTheLogAndItsPartnerStaysOk) {
  Contest c = BuildContest({
      {"DL1AAA", {Q(14025, "1200", "DL1AAA", "1", "OK1BHB", "1"),   // S heard as H
                  Q(7025, "1300", "DL1AAA", "2", "OK1BBC", "2")}},  // bust to a call with a log
      {"OK1BSB", {Q(14025, "1201", "OK1BSB", "1", "DL1AAA", "1")}},
      {"OK1BBB", {Q(7025, "1301", "OK1BBB", "2", "DL1AAA", "3")}},
      {"OK1BBC", {Q(3530, "1400", "OK1BBC", "1", "OK1BBB", "1")}},
  });
  EXPECT_EQ(VerdictAt(c, "DL1AAA", 3), "busted-call");
  EXPECT_EQ(c.calls.Text(At(c, "DL1AAA", 3).correct_call), "OK1BSB");
  EXPECT_EQ(VerdictAt(c, "OK1BSB", 3), "ok");
  EXPECT_EQ(PartnerLine(c, "OK1BSB", 3), 3);
  EXPECT_EQ(VerdictAt(c, "DL1AAA", 4), "busted-call");
  EXPECT_EQ(c.calls.Text(At(c, "DL1AAA", 4).correct_call), "OK1BBB");
  // The partner of a bust is still judged on what it copied: DL1AAA sent 2.
  EXPECT_EQ(VerdictAt(c, "OK1BBB", 3), "bad-exchange");
}

// Two steps apart (each letter a dit short) is a bust only where both serials
// were copied as sent; else the lines stay untied.
TEST(Matching, ABustTwoStepsAwayNeedsBothSerialsRight) {
  const std::vector<TestLog> logs = {
      {"DL1AAA", {Q(14025, "1200", "DL1AAA", "7", "SD9BXE", "52"),
                  Q(7025, "1210", "DL1AAA", "8", "SD9BXE", "60")}},
      {"HB9BXE", {Q(14025, "1200", "HB9BXE", "52", "DL1AAA", "7"),
                  Q(7025, "1210", "HB9BXE", "59", "DL1AAA", "8")}},
  };
  const Contest c = BuildContest(logs);
  EXPECT_EQ(VerdictAt(c, "DL1AAA", 3), "busted-call");
  EXPECT_EQ(c.calls.Text(At(c, "DL1AAA", 3).correct_call), "HB9BXE");
  EXPECT_EQ(VerdictAt(c, "HB9BXE", 3), "ok");
  EXPECT_NE(VerdictAt(c, "DL1AAA", 4), "busted-call");  // 60 copied, 59 sent
  EXPECT_EQ(VerdictAt(c, "HB9BXE", 4), "nil");
}

TEST(Matching, CallsWithoutALogAreUniqueOrUnverified) {
  Contest c = BuildContest({
      {"DL1AAA", {Q(14025, "1200", "DL1AAA", "1", "K1XYZ", "5"),
                  Q(14025, "1210", "DL1AAA", "2", "W2QQQ", "9")}},
      {"OK1BBB", {Q(7025, "1300", "OK1BBB", "1", "W2QQQ", "12")}},
  });
  EXPECT_EQ(VerdictAt(c, "DL1AAA", 3), "unique");
  EXPECT_EQ(VerdictAt(c, "DL1AAA", 4), "unverified");
  EXPECT_EQ(VerdictAt(c, "OK1BBB", 3), "unverified");
}

TEST(Matching, EachSideIsJudgedOnTheSerialItCopied) {
  Contest c = BuildContest({
      {"DL1AAA", {Q(14025, "1200", "DL1AAA", "007", "OK1BBB", "0012")}},
      {"OK1BBB", {Q(14025, "1200", "OK1BBB", "12", "DL1AAA", "8")}},
  });
  EXPECT_EQ(VerdictAt(c, "DL1AAA", 3), "ok");  // leading zeros do not count
  EXPECT_EQ(VerdictAt(c, "OK1BBB", 3), "bad-exchange");
}

TEST(Matching, AQsoLoggedOnAnotherBandIsAWrongBand) {
  Contest c = BuildContest({
      {"DL1AAA", {Q(14025, "1200", "DL1AAA", "1", "OK1BBB", "1")}},
      {"OK1BBB", {Q(7025, "1202", "OK1BBB", "1", "DL1AAA", "1")}},
  });
  EXPECT_EQ(VerdictAt(c, "DL1AAA", 3), "wrong-band");
  EXPECT_EQ(At(c, "DL1AAA", 3).partner_band, 2);  // 40m
  EXPECT_EQ(VerdictAt(c, "OK1BBB", 3), "wrong-band");
}

// Four partners; the log under test is `offset` minutes off.
std::vector<TestLog> OffsetContest(int offset) {
  const char* partners[] = {"OK1BBB", "OK1CCC", "W1DDD", "K2EEE"};
  std::vector<TestLog> logs{{"DL1AAA", {}}};
  for (int i = 0; i < 4; ++i) {
    const int minute = 12 * 60 + 10 * i, own = minute + offset;
    const std::string own_time = StrFormat("%02d%02d", own / 60 % 24, own % 60);
    const std::string true_time = StrFormat("%02d%02d", minute / 60, minute % 60);
    const std::string n = std::to_string(i + 1);
    logs[0].qsos.push_back(Q(14025, own_time.c_str(), "DL1AAA", n.c_str(), partners[i], "1"));
    logs.push_back({partners[i], {Q(14025, true_time.c_str(), partners[i], "1", "DL1AAA", n.c_str())}});
  }
  return logs;
}

TEST(Matching, ClockOffsetsAreFoundAndTakenOut) {
  for (int offset : {60, 120, -60, 12, -9}) {
    Contest c = BuildContest(OffsetContest(offset));
    EXPECT_EQ(LogOf(c, "DL1AAA").offset_minutes, offset);
    EXPECT_EQ(LogOf(c, "OK1BBB").offset_minutes, 0);
    for (int line = 3; line <= 6; ++line) EXPECT_EQ(VerdictAt(c, "DL1AAA", line), "ok") << offset;
  }
  MatchOptions off;
  off.clock_offsets = false;
  Contest c = BuildContest(OffsetContest(60), off);
  EXPECT_EQ(VerdictAt(c, "DL1AAA", 3), "nil");
  // Two minutes of jitter are no offset.
  EXPECT_EQ(LogOf(BuildContest(OffsetContest(1)), "DL1AAA").offset_minutes, 0);
}

TEST(Matching, QsosOutsideThePeriodTakeNoPart) {
  MatchOptions period;
  period.start = static_cast<std::int64_t>(COleDateTime::FromParts(2017, 6, 3, 12, 0, 0).LinearDays() * 1440.0 + 0.5);
  period.end = *period.start + 60;
  Contest c = BuildContest({
      {"DL1AAA", {Q(14025, "1159", "DL1AAA", "1", "OK1BBB", "1"),
                  Q(7025, "1300", "DL1AAA", "2", "OK1BBB", "2"),
                  Q(3530, "1301", "DL1AAA", "3", "OK1BBB", "3")}},
      {"OK1BBB", {Q(14025, "1159", "OK1BBB", "1", "DL1AAA", "1"),
                  Q(7025, "1300", "OK1BBB", "2", "DL1AAA", "2")}},
  }, period);
  EXPECT_EQ(VerdictAt(c, "DL1AAA", 3), "outside");
  EXPECT_EQ(VerdictAt(c, "DL1AAA", 4), "ok");
  EXPECT_EQ(VerdictAt(c, "DL1AAA", 5), "outside");
  EXPECT_EQ(VerdictAt(c, "OK1BBB", 3), "outside");
}

TEST(Matching, RejectedLinesAndTheCheckedScore) {
  ScoreOptions score;
  score.penalty = 1;
  const std::vector<TestLog> logs = {
      {"DL1AAA", {Q(14025, "1200", "DL1AAA", "1", "OK1BBB", "1"),    // ok: 3 points
                  Q(7025, "1210", "DL1AAA", "2", "OK1CCC", "1"),     // nil: 3 points, penalty 3
                  Q(21025, "1220", "DL1AAA", "3", "W1XYZ", "7"),     // unique: 5 points
                  Q(10110, "1230", "DL1AAA", "4", "OK1BBB", "2")}},  // 30 m: rejected
      {"OK1BBB", {Q(14025, "1200", "OK1BBB", "1", "DL1AAA", "1")}},
      {"OK1CCC", {Q(3530, "1500", "OK1CCC", "1", "OK1BBB", "7")}},
  };
  Contest c = BuildContest(logs, {}, score);
  const Entrant& e = LogOf(c, "DL1AAA");
  EXPECT_EQ(VerdictAt(c, "DL1AAA", 6), "rejected");
  EXPECT_EQ(e.claimed.qsos, 3);
  EXPECT_EQ(e.claimed.points, 11);
  EXPECT_EQ(e.claimed.score, 33);
  EXPECT_EQ(e.checked.qsos, 2);
  EXPECT_EQ(e.checked.points, 8 - 3);
  EXPECT_EQ(e.checked.mults, 2);
  EXPECT_EQ(e.checked.score, 10);
  score.keep_uniques = false;
  score.penalty = 0;
  Contest r = BuildContest(logs, {}, score);
  EXPECT_EQ(LogOf(r, "DL1AAA").checked.score, 3);
}

TEST(Rulings, ChangeVerdictsLastAndAreKeptOnRecord) {
  Contest c = BuildContest({
      {"DL1AAA", {Q(14025, "1200", "DL1AAA", "1", "OK1BBB", "1")}},
      {"OK1BBB", {Q(14025, "1245", "OK1BBB", "1", "DL1AAA", "1")}},
  });
  std::vector<RulingLine> rulings = ParseRulings(
      "log,line,verdict,reason\n# a comment\ndl1aaa,3,ok,\"clock, said the op\"\n"
      "OK1BBB,9,ok,no such line\nK9ZZZ,3,ok,no such log\n",
      "rulings.csv");
  std::vector<std::string> problems = ApplyRulings(c, rulings, "rulings.csv");
  EXPECT_EQ(VerdictAt(c, "DL1AAA", 3), "ok");
  ASSERT_EQ(LogOf(c, "DL1AAA").rulings.size(), 1u);
  EXPECT_EQ(VerdictName(LogOf(c, "DL1AAA").rulings[0].before), std::string("nil"));
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_EQ(problems[0].rfind("rulings.csv:4: line 9 of OK1BBB.log", 0), 0u) << problems[0];
  EXPECT_EQ(problems[1].rfind("rulings.csv:5: no log of K9ZZZ", 0), 0u) << problems[1];
  EXPECT_THROW(ParseRulings("DL1AAA,3,fine,x\n", "r.csv"), std::invalid_argument);
  EXPECT_THROW(ParseRulings("DL1AAA,x,ok,x\n", "r.csv"), std::invalid_argument);
}

}  // namespace
}  // namespace velmora::check
