#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "replay/replay_session.h"
#include "testing/temp_folder.h"

namespace velmora::replay {
namespace {

namespace fs = std::filesystem;

const std::string kTestData = VELMORA_TESTDATA;
const std::string kCty = "/usr/share/hamradio-files/cty.dat";

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// "BAND QSOS POINTS MULTS" per band row, then the score, as one text.
std::string ScoreOfResultText(const std::string& text) {
  static const std::regex row("(\\S+)\t (\\d+)\t (\\d+)\t (\\d+)\r\n");
  static const std::regex score("Score: \\d+\\*\\d+ = (\\d+)");
  std::string out;
  for (std::sregex_iterator m(text.begin(), text.end(), row), end; m != end; ++m)
    if ((*m)[1] != "Total") out += (*m)[1].str() + " " + (*m)[2].str() + " " + (*m)[3].str() +
                                   " " + (*m)[4].str() + "\n";
  std::smatch m;
  if (std::regex_search(text, m, score)) out += "score " + m[1].str();
  return out;
}

std::string ScoreOfReport(const std::string& page) {
  static const std::regex row(
      "<tr><td class=t>([^<]+)</td><td>(\\d+)</td><td>(\\d+)</td><td>(\\d+)</td><td>\\d+</td>"
      "</tr>");
  static const std::regex score("<td id=score>(-?\\d+)</td>");
  const std::size_t from = page.find("<table id=bands>");
  const std::string bands = page.substr(from, page.find("</table>", from) - from);
  std::string out;
  for (std::sregex_iterator m(bands.begin(), bands.end(), row), end; m != end; ++m)
    out += (*m)[1].str() + " " + (*m)[2].str() + " " + (*m)[3].str() + " " + (*m)[4].str() +
           "\n";
  std::smatch m;
  if (std::regex_search(page, m, score)) out += "score " + m[1].str();
  return out;
}

// The report and the plug-in's own result agree on the score, the QSOs and
// the multipliers of every band, log by log.
TEST(ReplayReportTest, ReportScoreEqualsTheResultText) {
  for (const std::string& log : {kTestData + "/../examples/sample.cbr",
                                kTestData + "/report/short_contest.cbr",
                                kTestData + "/report/two_days.adi"}) {
    SCOPED_TRACE(log);
    velmora::testing::TempFolder folder;
    const std::string report = (folder.path() / "report.html").string();
    std::ostringstream out, err;
    ASSERT_EQ(RunReplay(ParseReplayOptions({log, "--cty", kCty, "--dir", folder.path().string(),
                                            "--report", report, "--cabrillo"}),
                        out, err),
              kReplayOk)
        << err.str();
    const std::string expected = ScoreOfResultText(out.str());
    ASSERT_NE(expected.find("score "), std::string::npos) << out.str();
    EXPECT_EQ(ScoreOfReport(Slurp(report)), expected);
  }
}

TEST(ReplayReportTest, ReportNamesTheProblemQsosOfTheLog) {
  velmora::testing::TempFolder folder;
  const std::string report = (folder.path() / "r.html").string();
  std::ostringstream out, err;
  ASSERT_EQ(RunReplay(ParseReplayOptions({kTestData + "/report/two_days.adi", "--cty", kCty,
                                          "--dir", folder.path().string(), "--report", report,
                                          "--break-minutes", "600"}),
                      out, err),
            kReplayOk);
  const std::string page = Slurp(report);
  EXPECT_NE(page.find("<h3>Dupes (1)</h3>"), std::string::npos);
  EXPECT_NE(page.find("<td class=t>QX1ZZZ</td>"), std::string::npos);  // no entity
  EXPECT_NE(page.find("Breaks of 600 minutes or more:"), std::string::npos);
  EXPECT_THROW(ParseReplayOptions({"x.cbr", "--break-minutes", "0"}), std::invalid_argument);
  // A report that cannot be written is a failure, not a silent success.
  EXPECT_EQ(RunReplay(ParseReplayOptions({kTestData + "/report/two_days.adi", "--cty", kCty,
                                          "--dir", folder.path().string(), "--report",
                                          (folder.path() / "no/such/r.html").string()}),
                      out, err),
            kReplayFailed);
}

}  // namespace
}  // namespace velmora::replay
