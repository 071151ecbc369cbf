// The check on a real round of the weekly CW contest (83 public logs, as the
// contest published them) against the verdicts adjudicated by hand in
// testdata/real-contest/mwc-2020-01-13.truth.csv.

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "check/check_run.h"
#include "testing/temp_folder.h"
#include "testing/whole_file.h"

namespace velmora::check {
namespace {

const std::string kRound = std::string(VELMORA_TESTDATA) + "/real-contest/mwc-2020-01-13";

// The first `n` comma-separated fields of a line (the reason after them may
// hold commas).
std::vector<std::string> Fields(const std::string& line, std::size_t n) {
  std::vector<std::string> fields;
  std::stringstream s(line);
  for (std::string f; fields.size() < n && std::getline(s, f, ',');) fields.push_back(f);
  fields.resize(n);
  return fields;
}

struct Judged {
  std::string verdict, correct_call;
};

// qsos.csv by "LOG:LINE".
std::map<std::string, Judged> ReadQsos(const std::string& text) {
  std::map<std::string, Judged> qsos;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    const std::vector<std::string> f = Fields(line, 5);
    qsos[f[0] + ":" + f[1]] = {f[2], f[4]};
  }
  return qsos;
}

TEST(RealRound, HoldsEveryVerdictAdjudicatedByHand) {
  velmora::testing::TempFolder out;
  CheckOptions o;
  o.inputs = {kRound};
  o.out_dir = out.path().string();
  o.quiet = true;
  o.jobs = 2;
  std::ostringstream err;
  ASSERT_EQ(RunCheck(o, err), kCheckOk) << err.str();
  const std::map<std::string, Judged> got =
      ReadQsos(velmora::testing::ReadWholeFile(out.path() / "qsos.csv"));

  int held = 0;
  std::istringstream truth(velmora::testing::ReadWholeFile(kRound + ".truth.csv"));
  for (std::string line; std::getline(truth, line);) {
    if (line.empty() || line[0] == '#' || line.rfind("log,", 0) == 0) continue;
    const std::vector<std::string> t = Fields(line, 4);  // log,line,verdict,correct_call
    const std::string where = t[0] + ":" + t[1];
    ASSERT_TRUE(got.contains(where)) << where;
    const Judged& g = got.at(where);
    EXPECT_EQ(g.verdict, t[2]) << where;
    EXPECT_EQ(g.correct_call, t[3]) << where;
    ++held;
  }
  EXPECT_EQ(held, 75);

  const std::string report = velmora::testing::ReadWholeFile(out.path() / "reports" / "DL1PAN.txt");
  EXPECT_NE(report.find("OK3EA        busted: OK2EA, in 40 logs, sent 22 at 16:57"),
            std::string::npos) << report;
}

}  // namespace
}  // namespace velmora::check
