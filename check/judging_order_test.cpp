// The order of the judging on small contests that the simulated ones never
// meet: clock offsets either way, the period and its edges, dupes inside the
// period, and the one exclusive assignment ranked by serials.

#include <gtest/gtest.h>

#include <cmath>

#include "check/check_test_contest.h"
#include "check/clock_offsets.h"
#include "check/rulings.h"
#include "engine/ole_date_time.h"
#include "engine/text_format.h"

namespace velmora::check {
namespace {

// One QSO line on 2017-06-03 at `minute` of the day: band in kHz, own call,
// sent, worked call, received.
std::string L(int khz, int minute, const std::string& own, int sent, const std::string& call,
              int rcvd) {
  return StrFormat("%d CW 2017-06-03 %02d%02d %s 599 %d %s 599 %d", khz, minute / 60 % 24,
                   minute % 60, own.c_str(), sent, call.c_str(), rcvd);
}

constexpr int H12 = 12 * 60;

std::int64_t At12(int minutes_after) {
  return std::llround(COleDateTime::FromParts(2017, 6, 3, 12, 0, 0).LinearDays() * 1440.0) +
         minutes_after;
}

// Every line of every log.
std::vector<std::string> AllVerdicts(const Contest& c) {
  std::vector<std::string> v;
  for (const Entrant& e : c.logs)
    for (const CheckQso& q : e.qsos) v.push_back(e.call + ":" + VerdictName(q.verdict));
  return v;
}

void ExpectAllOk(const Contest& c) {
  for (const std::string& v : AllVerdicts(c)) EXPECT_EQ(v.substr(v.find(':') + 1), "ok") << v;
}

// Three logs, each pair with two QSOs on 20 m; OK1XXX's clock `offset` off.
std::vector<TestLog> Triangle(int offset) {
  std::vector<TestLog> logs{{"DL1AAA", {}}, {"DL1BBB", {}}, {"OK1XXX", {}}};
  int serial[3] = {0, 0, 0};
  auto qso = [&](int a, int b, int minute, int khz) {
    const int sa = ++serial[a], sb = ++serial[b];
    logs[a].qsos.push_back(L(khz, minute + (a == 2 ? offset : 0), logs[a].call, sa, logs[b].call, sb));
    logs[b].qsos.push_back(L(khz, minute + (b == 2 ? offset : 0), logs[b].call, sb, logs[a].call, sa));
  };
  qso(0, 1, H12 + 5, 14025), qso(0, 2, H12 + 10, 14025), qso(1, 2, H12 + 15, 14025);
  qso(0, 1, H12 + 25, 7025), qso(0, 2, H12 + 30, 7025), qso(1, 2, H12 + 35, 7025);
  return logs;
}

TEST(ClockOffsets, AreFoundEitherWayByHoursAndByMinutes) {
  MatchOptions hour;  // the true hour as the period
  hour.start = At12(0);
  hour.end = At12(59);
  for (int offset : {60, -60, 120, -120, 7, -7}) {
    Contest c = BuildContest(Triangle(offset), hour);
    EXPECT_EQ(LogOf(c, "OK1XXX").offset_minutes, offset);
    EXPECT_EQ(LogOf(c, "DL1AAA").offset_minutes, 0) << offset;
    EXPECT_EQ(LogOf(c, "DL1BBB").offset_minutes, 0) << offset;
    ExpectAllOk(c);
  }
}

TEST(ClockOffsets, SettleWhenTheOutlierMovesEveryPartnersMedian) {
  // OK1AAA 60 minutes fast, three QSOs each with DL1BBB and DL1CCC, who have
  // two with each other: their medians lean towards OK1AAA's clock.
  std::vector<TestLog> logs{{"OK1AAA", {}}, {"DL1BBB", {}}, {"DL1CCC", {}}};
  const int khz[] = {3530, 7025, 14025};
  for (int i = 0; i < 3; ++i)
    for (int p = 1; p <= 2; ++p) {
      const int t = H12 + 10 * i + 4 * p, sent = 2 * i + p, got = i + 1;
      logs[0].qsos.push_back(L(khz[i], t + 60, "OK1AAA", sent, logs[p].call, got));
      logs[p].qsos.push_back(L(khz[i], t, logs[p].call, got, "OK1AAA", sent));
    }
  logs[1].qsos.push_back(L(21025, H12 + 40, "DL1BBB", 4, "DL1CCC", 4));
  logs[2].qsos.push_back(L(21025, H12 + 40, "DL1CCC", 4, "DL1BBB", 4));
  logs[1].qsos.push_back(L(28025, H12 + 50, "DL1BBB", 5, "DL1CCC", 5));
  logs[2].qsos.push_back(L(28025, H12 + 50, "DL1CCC", 5, "DL1BBB", 5));
  Contest c = BuildContest(logs);
  EXPECT_EQ(LogOf(c, "OK1AAA").offset_minutes, 60);
  EXPECT_EQ(LogOf(c, "DL1BBB").offset_minutes, 0);
  EXPECT_EQ(LogOf(c, "DL1CCC").offset_minutes, 0);
  ExpectAllOk(c);
}

TEST(ClockOffsets, MedianIsTrueAndJitterIsNoOffset) {
  EXPECT_EQ(MeasureOffset({0, 0, 60, 60}).offset, 30);
  EXPECT_EQ(MeasureOffset({0, 0, -60, -60}).offset, -30);
  EXPECT_EQ(MeasureOffset({60, 60, 60}).offset, 60);
  EXPECT_EQ(MeasureOffset({60, 60}).offset, 0);  // too few
  EXPECT_EQ(MeasureOffset({1, 1, -1, 1}).offset, 0);
}

TEST(ContestPeriod, IsTakenOnCorrectedTimesWithTheClocksJitterAtItsEdges) {
  // A log 60 minutes fast whose first QSO, with a call without a log, is the
  // contest's earliest: the default period starts there.
  std::vector<TestLog> fast = Triangle(60);
  fast[2].qsos.insert(fast[2].qsos.begin(), L(14025, H12 + 60, "OK1XXX", 0, "K1XYZ", 9));
  Contest c = BuildContest(fast);
  EXPECT_EQ(VerdictAt(c, "OK1XXX", 3), "unique");

  MatchOptions from12;
  from12.start = At12(0);
  // One minute of jitter at the start: the line at 11:59 is kept with its partner.
  Contest edge = BuildContest({{"DL1AAA", {L(14025, H12, "DL1AAA", 1, "OK1BBB", 1)}},
                               {"OK1BBB", {L(14025, H12 - 1, "OK1BBB", 1, "DL1AAA", 1)}},
                               {"DL1CCC", {L(14025, H12 - 1, "DL1CCC", 1, "OK1DDD", 1)}},
                               {"OK1DDD", {L(14025, H12 - 1, "OK1DDD", 1, "DL1CCC", 1)}}},
                              from12);
  EXPECT_EQ(VerdictAt(edge, "DL1AAA", 3), "ok");
  EXPECT_EQ(VerdictAt(edge, "OK1BBB", 3), "ok");
  EXPECT_EQ(VerdictAt(edge, "DL1CCC", 3), "outside");  // both before the start
  EXPECT_EQ(VerdictAt(edge, "OK1DDD", 3), "outside");
}

TEST(DupeRule, CountsTheLineInThePeriodThatTheOtherLogConfirms) {
  MatchOptions from12;
  from12.start = At12(0);
  // Before the start and again inside: the one inside counts.
  Contest c = BuildContest({{"DL1AAA", {L(14025, H12 - 2, "DL1AAA", 1, "OK1BBB", 1),
                                        L(14025, H12 + 5, "DL1AAA", 2, "OK1BBB", 2)}},
                            {"OK1BBB", {L(14025, H12 - 2, "OK1BBB", 1, "DL1AAA", 1),
                                        L(14025, H12 + 5, "OK1BBB", 2, "DL1AAA", 2)}}},
                           from12);
  EXPECT_EQ(VerdictAt(c, "DL1AAA", 3), "outside");
  EXPECT_EQ(VerdictAt(c, "DL1AAA", 4), "ok");
  EXPECT_EQ(VerdictAt(c, "OK1BBB", 4), "ok");

  // Worked twice, the other log holds only the second: it counts, the first
  // is a dupe without penalty.
  Contest twice = BuildContest({{"DL1AAA", {L(14025, H12, "DL1AAA", 1, "OK1BBB", 1),
                                            L(14025, H12 + 20, "DL1AAA", 2, "OK1BBB", 7)}},
                                {"OK1BBB", {L(14025, H12 + 20, "OK1BBB", 7, "DL1AAA", 2)}}});
  EXPECT_EQ(VerdictAt(twice, "DL1AAA", 3), "dupe");
  EXPECT_EQ(VerdictAt(twice, "DL1AAA", 4), "ok");
  EXPECT_EQ(LogOf(twice, "DL1AAA").checked.qsos, 1);
}

TEST(Assignment, SerialsDecideBeforeClosenessInTime) {
  Contest c = BuildContest({{"DL1AAA", {L(14025, H12, "DL1AAA", 1, "OK1BBB", 1),
                                        L(14025, H12 + 4, "DL1AAA", 2, "OK1BBB", 2)}},
                            {"OK1BBB", {L(14025, H12 + 3, "OK1BBB", 1, "DL1AAA", 1),
                                        L(14025, H12 + 7, "OK1BBB", 2, "DL1AAA", 2)}}});
  EXPECT_EQ(VerdictAt(c, "DL1AAA", 3), "ok");
  EXPECT_EQ(PartnerLine(c, "DL1AAA", 3), 3);
  EXPECT_EQ(VerdictAt(c, "OK1BBB", 3), "ok");
  EXPECT_EQ(PartnerLine(c, "DL1AAA", 4), 4);
  EXPECT_EQ(VerdictAt(c, "DL1AAA", 4), "dupe");
  EXPECT_EQ(LogOf(c, "DL1AAA").checked.qsos, 1);
  EXPECT_EQ(LogOf(c, "OK1BBB").checked.qsos, 1);

  // A bust with two candidates: the one that sent the serial copied wins.
  Contest bust = BuildContest({{"OK1AAA", {L(14025, H12, "OK1AAA", 3, "DL1ABD", 17)}},
                               {"DL1ABC", {L(14025, H12, "DL1ABC", 5, "OK1AAA", 3)}},
                               {"DL1ABE", {L(14025, H12, "DL1ABE", 17, "OK1AAA", 3)}}});
  EXPECT_EQ(VerdictAt(bust, "OK1AAA", 3), "busted-call");
  EXPECT_EQ(bust.calls.Text(At(bust, "OK1AAA", 3).correct_call), "DL1ABE");
  EXPECT_EQ(VerdictAt(bust, "DL1ABE", 3), "ok");
  EXPECT_EQ(VerdictAt(bust, "DL1ABC", 3), "nil");
}

TEST(Assignment, AMatchOnTheCallAloneGivesWayToABustWithBothSerials) {
  // OK1AAA sent 9 and copied 3: DL1ABD's line says just that, DL1ABC's
  // line two minutes later has other serials both ways.
  const std::vector<TestLog> logs{{"OK1AAA", {L(3530, H12, "OK1AAA", 9, "DL1ABC", 3)}},
                                  {"DL1ABC", {L(3530, H12 + 2, "DL1ABC", 2, "OK1AAA", 10)}},
                                  {"DL1ABD", {L(3530, H12, "DL1ABD", 3, "OK1AAA", 9)}}};
  Contest c = BuildContest(logs);
  EXPECT_EQ(VerdictAt(c, "OK1AAA", 3), "busted-call");
  EXPECT_EQ(c.calls.Text(At(c, "OK1AAA", 3).correct_call), "DL1ABD");
  EXPECT_EQ(VerdictAt(c, "DL1ABD", 3), "ok");
  EXPECT_EQ(VerdictAt(c, "DL1ABC", 3), "nil");

  // One serial of the bust agreeing is no better than the match.
  std::vector<TestLog> half = logs;
  half[2].qsos = {L(3530, H12, "DL1ABD", 3, "OK1AAA", 8)};
  Contest h = BuildContest(half);
  EXPECT_EQ(VerdictAt(h, "OK1AAA", 3), "bad-exchange");
  EXPECT_EQ(PartnerLine(h, "OK1AAA", 3), 3);
  EXPECT_EQ(VerdictAt(h, "DL1ABD", 3), "nil");

  // The other way round: the match's line explains a bust. DL1ABC's line
  // with OK1AAB has both serials of OK1AAA's line; its line with OK1AAA has
  // neither.
  Contest other = BuildContest({{"OK1AAA", {L(3530, H12, "OK1AAA", 3, "DL1ABC", 9)}},
                                {"DL1ABC", {L(3530, H12 + 2, "DL1ABC", 10, "OK1AAA", 2),
                                            L(3530, H12, "DL1ABC", 9, "OK1AAB", 3)}}});
  EXPECT_EQ(VerdictAt(other, "DL1ABC", 4), "busted-call");
  EXPECT_EQ(other.calls.Text(At(other, "DL1ABC", 4).correct_call), "OK1AAA");
  EXPECT_EQ(VerdictAt(other, "OK1AAA", 3), "ok");
  EXPECT_EQ(VerdictAt(other, "DL1ABC", 3), "nil");
}

TEST(Assignment, ALineExplainsOneWrongBandOnly) {
  Contest c = BuildContest({{"DL1AAA", {L(7025, H12 + 1, "DL1AAA", 1, "OK1BBB", 1)}},
                            {"OK1BBB", {L(14025, H12, "OK1BBB", 1, "DL1AAA", 1),
                                        L(21025, H12 + 3, "OK1BBB", 2, "DL1AAA", 2)}}});
  EXPECT_EQ(VerdictAt(c, "DL1AAA", 3), "wrong-band");
  EXPECT_EQ(VerdictAt(c, "OK1BBB", 3), "wrong-band");
  EXPECT_EQ(PartnerLine(c, "OK1BBB", 3), 3);
  EXPECT_EQ(VerdictAt(c, "OK1BBB", 4), "nil");
}

TEST(Assignment, ASerialTypedIntoTheCallIsABustOfThatCall) {
  Contest c = BuildContest({{"DL1AAA", {L(3530, H12, "DL1AAA", 5, "OK1FGD063", 63),
                                        L(7025, H12, "DL1AAA", 6, "OK1FGD12", 7)}},
                            {"OK1FGD", {L(3530, H12 + 1, "OK1FGD", 63, "DL1AAA", 5),
                                        L(7025, H12, "OK1FGD", 64, "DL1AAA", 6)}}});
  EXPECT_EQ(VerdictAt(c, "DL1AAA", 3), "busted-call");
  EXPECT_EQ(c.calls.Text(At(c, "DL1AAA", 3).correct_call), "OK1FGD");
  EXPECT_EQ(VerdictAt(c, "OK1FGD", 3), "ok");
  // Digits that are neither the serial copied nor the one sent: no bust.
  EXPECT_EQ(VerdictAt(c, "DL1AAA", 4), "unique");
  EXPECT_EQ(VerdictAt(c, "OK1FGD", 4), "nil");
}

TEST(Verdicts, TheOwnCallInTheCallFieldNeverCounts) {
  Contest c = BuildContest({{"DL1AAA", {L(14025, H12, "DL1AAA", 1, "DL1AAA", 1),
                                        L(14025, H12 + 1, "DL1AAA", 2, "OK1BBB", 1)}},
                            {"OK1BBB", {L(14025, H12 + 1, "OK1BBB", 1, "DL1AAA", 2)}}});
  EXPECT_EQ(VerdictAt(c, "DL1AAA", 3), "own-call");
  EXPECT_EQ(VerdictAt(c, "DL1AAA", 4), "ok");
  EXPECT_EQ(LogOf(c, "DL1AAA").checked.qsos, 1);
}

TEST(Rulings, ThatCannotTakeEffectAreReportedAndBeforeIsTheChecksVerdict) {
  Contest c = BuildContest({{"DL1AAA", {L(10110, H12, "DL1AAA", 1, "OK1BBB", 1),  // 30 m
                                        L(14025, H12, "DL1AAA", 2, "OK1BBB", 2)}},
                            {"OK1BBB", {L(7025, H12 + 30, "OK1BBB", 1, "DL1AAA", 9)}}});
  const std::vector<RulingLine> rulings = ParseRulings(
      "DL1AAA,3,ok,the op says so\nDL1AAA,4,ok,confirmed by mail\nDL1AAA,4,unique,on second thought\n",
      "r.csv");
  const std::vector<std::string> problems = ApplyRulings(c, rulings, "r.csv");
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_NE(problems[0].find("r.csv:1: line 3 of DL1AAA.log was rejected"), std::string::npos)
      << problems[0];
  EXPECT_EQ(VerdictAt(c, "DL1AAA", 3), "rejected");
  const std::vector<Ruling>& kept = LogOf(c, "DL1AAA").rulings;
  ASSERT_EQ(kept.size(), 2u);
  EXPECT_EQ(VerdictName(kept[1].before), std::string("nil"));
  EXPECT_EQ(VerdictAt(c, "DL1AAA", 4), "unique");
}

}  // namespace
}  // namespace velmora::check
