// The check against the truth of a simulated contest of a few hundred logs.

#include <gtest/gtest.h>

#include <map>
#include <mutex>

#include "check/checked_score.h"
#include "check/log_intake.h"
#include "check/matching.h"
#include "readers/country_file.h"
#include "testing/contest_simulator.h"

namespace velmora::check {
namespace {

// Enough of the country file for the simulator's prefixes: one entity each.
std::string SimulatorCty() {
  const char* prefixes[] = {"DL", "F",  "G",  "I",  "OK", "SP", "W",  "K",  "JA", "VK", "PY",
                            "UA", "EA", "ON", "PA", "OH", "SM", "LY", "YL", "ES", "HA", "YO",
                            "LZ", "S5", "9A", "OE", "HB9", "ZS", "LU", "VE", "CE", "XE"};
  const char* continents[] = {"EU", "EU", "EU", "EU", "EU", "EU", "NA", "NA", "AS", "OC", "SA",
                              "EU", "EU", "EU", "EU", "EU", "EU", "EU", "EU", "EU", "EU", "EU",
                              "EU", "EU", "EU", "EU", "EU", "AF", "SA", "NA", "SA", "NA"};
  std::string cty;
  for (std::size_t i = 0; i < std::size(prefixes); ++i)
    cty += std::string("Entity ") + prefixes[i] + ": 1: 1: " + continents[i] +
           ": 0.0: 0.0: 0.0: " + prefixes[i] + ":\n    " + prefixes[i] + ";\n";
  return cty;
}

Contest CheckSimulated(const testing::SimContest& sim, int jobs) {
  Contest contest;
  std::mutex mutex;
  CountryFile cty = CountryFile::Parse(SimulatorCty(), "cty.dat");
  Intake intake(cty, contest, mutex);
  for (const testing::SimLog& log : sim.logs) {
    std::vector<std::string> problems;
    auto entrant = intake.Read(log.text, log.file_name, problems);
    EXPECT_TRUE(problems.empty()) << problems.front();
    contest.logs.push_back(std::move(*entrant));
  }
  MatchOptions match;
  match.jobs = jobs;
  JudgeContest(contest, match);
  ScoreOptions score;
  score.jobs = jobs;
  ScoreChecked(contest, score);
  return contest;
}

struct Tally {
  int right = 0, found = 0, truth = 0;  // true positives, verdicts given, verdicts true
};

TEST(SimulatedContest, NilBustsAndBadExchangesAreFoundWithPrecisionAndRecall) {
  testing::SimulatorOptions options;
  options.seed = 25;
  options.stations = 400;
  options.local_time_logs = 2;
  options.minutes_off_logs = 2;
  const testing::SimContest sim = testing::SimulateContest(options);
  const Contest contest = CheckSimulated(sim, 2);
  ASSERT_EQ(contest.logs.size(), sim.logs.size());

  std::map<std::string, Tally> tallies;
  int clean_logs = 0, busts_named_wrong = 0;
  for (std::size_t i = 0; i < sim.logs.size(); ++i) {
    const testing::SimLog& log = sim.logs[i];
    const Entrant& entrant = contest.logs[i];
    ASSERT_EQ(entrant.qsos.size(), log.truth.size());
    EXPECT_EQ(entrant.offset_minutes, log.clock_offset) << log.call;
    clean_logs += log.clean;
    for (std::size_t k = 0; k < log.truth.size(); ++k) {
      const std::string got = VerdictName(entrant.qsos[k].verdict);
      const testing::SimTruth& want = log.truth[k];
      ASSERT_EQ(entrant.qsos[k].line, want.line);
      if (log.clean) {
        EXPECT_EQ(got, "ok") << log.call << " line " << want.line;
      }
      ++tallies[got].found;
      ++tallies[want.verdict].truth;
      if (got == want.verdict) ++tallies[got].right;
      if (got == "busted-call" && want.verdict == got &&
          contest.calls.Text(entrant.qsos[k].correct_call) != want.correct_call)
        ++busts_named_wrong;
    }
  }
  EXPECT_GT(clean_logs, 5);
  EXPECT_EQ(busts_named_wrong, 0);
  for (const char* verdict : {"nil", "busted-call", "bad-exchange"}) {
    const Tally& t = tallies[verdict];
    ASSERT_GT(t.truth, 50) << verdict;
    EXPECT_GE(t.right, 0.99 * t.found) << verdict << ": precision";
    EXPECT_GE(t.right, 0.99 * t.truth) << verdict << ": recall";
  }
}

TEST(SimulatedContest, TheThreadsChangeNothing) {
  testing::SimulatorOptions options;
  options.seed = 7;
  options.stations = 150;
  const testing::SimContest sim = testing::SimulateContest(options);
  const Contest one = CheckSimulated(sim, 1), two = CheckSimulated(sim, 2);
  for (std::size_t i = 0; i < one.logs.size(); ++i) {
    EXPECT_EQ(one.logs[i].checked.score, two.logs[i].checked.score);
    for (std::size_t k = 0; k < one.logs[i].qsos.size(); ++k) {
      EXPECT_EQ(one.logs[i].qsos[k].verdict, two.logs[i].qsos[k].verdict);
      EXPECT_EQ(one.logs[i].qsos[k].partner_qso, two.logs[i].qsos[k].partner_qso);
    }
  }
}

TEST(SimulatedContest, IsTheSameForTheSameSeed) {
  testing::SimulatorOptions options;
  options.stations = 40;
  const testing::SimContest a = testing::SimulateContest(options), b = testing::SimulateContest(options);
  ASSERT_EQ(a.logs.size(), b.logs.size());
  for (std::size_t i = 0; i < a.logs.size(); ++i) EXPECT_EQ(a.logs[i].text, b.logs[i].text);
  options.seed = 2;
  EXPECT_NE(testing::SimulateContest(options).logs[0].text, a.logs[0].text);
}

}  // namespace
}  // namespace velmora::check
