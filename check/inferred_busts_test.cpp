// Busts told by the contest's own figures: a call few logs hold, one step from
// a call many hold whose serial at that minute fits, where no partner line
// can tell it.

#include "check/inferred_busts.h"

#include <gtest/gtest.h>

#include "check/check_test_contest.h"
#include "check/entrant_report.h"
#include "engine/text_format.h"

namespace velmora::check {
namespace {

std::string L(int minute, const std::string& own, int sent, const std::string& call, int rcvd) {
  return StrFormat("14025 CW 2017-06-03 %02d%02d %s 599 %d %s 599 %d", 12 + minute / 60,
                   minute % 60, own.c_str(), sent, call.c_str(), rcvd);
}

// Five logs that each worked `station` (which sent no log) two minutes
// apart from 12:00, so it sent 1 at 12:00, 2 at 12:02 ... 5 at 12:08; then
// OK1XXX's lines.
std::vector<TestLog> Worked(const std::string& station, std::vector<std::string> xxx) {
  std::vector<TestLog> logs;
  const char* calls[] = {"DL1AAA", "DL2BBB", "DL3CCC", "DL4DDD", "DL5EEE"};
  for (int i = 0; i < 5; ++i)
    logs.push_back({calls[i], {L(2 * i, calls[i], 1, station, i + 1)}});
  logs.push_back({"OK1XXX", std::move(xxx)});
  return logs;
}

TEST(InferredBusts, ACallOneStepFromACallManyHoldIsBustedWhenItsSerialFits) {
  // 12:05: SM6M was sending 3 or 4; 12:30: it would be at 16, not 1.
  const Contest c = BuildContest(Worked("SM6M", {L(5, "OK1XXX", 1, "SM5M", 4),
                                                 L(30, "OK1XXX", 2, "SM5N", 1)}));
  const CheckQso& bust = At(c, "OK1XXX", 3);
  EXPECT_EQ(VerdictName(bust.verdict), std::string("busted-call"));
  EXPECT_EQ(c.calls.Text(bust.correct_call), "SM6M");
  EXPECT_EQ(bust.partner_log, -1);
  EXPECT_EQ(VerdictAt(c, "OK1XXX", 4), "unique");  // a new station, not SM6M
  EXPECT_EQ(VerdictAt(c, "DL1AAA", 3), "unverified");

  const std::string report = ReportText(c, c.logs.size() - 1, {});
  EXPECT_NE(report.find("SM5M         busted: SM6M, in 5 logs, sent 3 at 12:04"), std::string::npos)
      << report;
  EXPECT_NE(ReportJson(c, c.logs.size() - 1, {})
                .find("\"correct_call\": \"SM6M\", \"evidence\": {\"logs\": 5, \"sent\": \"3\", "
                      "\"at\": \"12:04\"}"),
            std::string::npos);
}

TEST(InferredBusts, TheThresholdsAndTheKnownCallsHoldItBack) {
  const std::vector<TestLog> logs = Worked("SM6M", {L(5, "OK1XXX", 1, "SM5M", 4)});
  MatchOptions few;
  few.infer.common_holders = 6;  // SM6M is in five logs only
  EXPECT_EQ(VerdictAt(BuildContest(logs, few), "OK1XXX", 3), "unique");
  MatchOptions strict;
  strict.infer.serial_tolerance = 0;  // 3.5 expected, 4 copied
  EXPECT_EQ(VerdictAt(BuildContest(logs, strict), "OK1XXX", 3), "unique");
  MatchOptions near;
  near.infer.serial_window = 0;  // no serial of SM6M at 12:05 itself
  EXPECT_EQ(VerdictAt(BuildContest(logs, near), "OK1XXX", 3), "unique");
  MatchOptions loose;  // any call common, SM6M's lines rare too
  loose.infer.common_holders = 1;
  loose.infer.rare_holders = 5;
  const Contest l = BuildContest(logs, loose);
  EXPECT_EQ(VerdictAt(l, "OK1XXX", 3), "busted-call");
  EXPECT_EQ(VerdictAt(l, "DL3CCC", 3), "unverified");  // never a bust of a call fewer logs hold
  MatchOptions known;
  known.known = ParseKnownCalls("# contesters\n sm5m  2020\n\nSM6M\n");
  EXPECT_EQ(VerdictAt(BuildContest(logs, known), "OK1XXX", 3), "unique");
}

TEST(InferredBusts, OfTwoAlikeCallsTheCloserSerialDecidesAndATieIsNoBust) {
  std::vector<TestLog> logs = Worked("SM6M", {L(5, "OK1XXX", 1, "SM5M", 4)});
  for (int i = 0; i < 5; ++i)  // SM5S, also silent, sent 20, 22 ... at the same minutes
    logs[static_cast<std::size_t>(i)].qsos.push_back(L(2 * i, logs[i].call, 2, "SM5S", 20 + 2 * i));
  const Contest apart = BuildContest(logs);
  EXPECT_EQ(apart.calls.Text(At(apart, "OK1XXX", 3).correct_call), "SM6M");

  for (int i = 0; i < 5; ++i) logs[static_cast<std::size_t>(i)].qsos[1] = L(2 * i, logs[i].call, 2, "SM5S", i + 1);
  EXPECT_EQ(VerdictAt(BuildContest(logs), "OK1XXX", 3), "unique");
}

// A serial copied wrong by one of the others (35 at 12:07, between 4 at
// 12:06 and 5 at 12:08) tells nothing of what the call was sending then.
TEST(InferredBusts, ACopyOffTheGrowingSerialsIsLeftOut) {
  std::vector<TestLog> logs = Worked("SM6M", {L(7, "OK1XXX", 1, "SM5M", 5)});
  logs.push_back({"DL6GGG", {L(7, "DL6GGG", 1, "SM6M", 35)}});
  const Contest c = BuildContest(logs);
  EXPECT_EQ(VerdictAt(c, "OK1XXX", 3), "busted-call");
  EXPECT_EQ(c.calls.Text(At(c, "OK1XXX", 3).correct_call), "SM6M");
  EXPECT_NE(ReportText(c, 5, {}).find("busted: SM6M, in 6 logs, sent 4 at 12:06"), std::string::npos)
      << ReportText(c, 5, {});
}

// A log that holds nothing of the QSO tells the serials it sent; a known call
// with the serial typed after it is a bust even where no log holds that call,
// and so is a call many logs hold when its serial then fits.
TEST(InferredBusts, ASilentLogsOwnSerialsAndASerialTypedIntoAKnownCall) {
  std::vector<TestLog> logs = Worked("DL6FFF", {L(5, "OK1XXX", 1, "DL6FFG", 8),
                                                L(7, "OK1XXX", 2, "OK1ABC63", 63),
                                                L(9, "OK1XXX", 3, "DL6FFF9", 9),
                                                L(11, "OK1XXX", 4, "DL6FFF40", 40)});
  TestLog silent{"DL6FFF", {}};
  for (int i = 0; i < 5; ++i) silent.qsos.push_back(L(2 * i, "DL6FFF", 5 + i, logs[i].call, 1));
  logs.push_back(silent);
  MatchOptions match;
  match.known = {"OK1ABC"};
  const Contest c = BuildContest(logs, match);
  EXPECT_EQ(c.calls.Text(At(c, "OK1XXX", 3).correct_call), "DL6FFF");  // sent 7 then 8
  EXPECT_EQ(VerdictAt(c, "OK1XXX", 4), "busted-call");
  EXPECT_EQ(c.calls.Text(At(c, "OK1XXX", 4).correct_call), "OK1ABC");
  EXPECT_NE(ReportText(c, 5, {}).find("busted: OK1ABC, in 0 logs, a known call with the serial "
                                      "typed after it"),
            std::string::npos);
  EXPECT_EQ(c.calls.Text(At(c, "OK1XXX", 5).correct_call), "DL6FFF");  // sent 9 at 12:08
  EXPECT_EQ(VerdictAt(c, "OK1XXX", 6), "unique");  // DL6FFF was at 10, not 40
  EXPECT_EQ(VerdictAt(BuildContest(logs), "OK1XXX", 4), "unique");  // unknown: no bust
}

}  // namespace
}  // namespace velmora::check
