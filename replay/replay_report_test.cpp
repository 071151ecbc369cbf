#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sstream>
#include <string_view>
#include <vector>

#include "replay/replay_module.h"
#include "replay/replay_session.h"
#include "testing/temp_folder.h"
#include "testing/whole_file.h"

namespace velmora::replay {
namespace {

namespace fs = std::filesystem;

const std::string kTestData = VELMORA_TESTDATA;
const std::string kCty = "/usr/share/hamradio-files/cty.dat";

using velmora::testing::ReadWholeFile;

bool IsNumber(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](unsigned char c) {
    return std::isdigit(c) != 0;
  });
}

// The parts of `text` between the separators `sep`.
std::vector<std::string> Split(std::string_view text, std::string_view sep) {
  std::vector<std::string> parts;
  for (std::size_t at = 0;;) {
    const std::size_t next = text.find(sep, at);
    parts.emplace_back(text.substr(at, next - at));
    if (next == std::string_view::npos) return parts;
    at = next + sep.size();
  }
}

// The text between `open` (the first one after `from`) and the next `close`.
std::string Between(const std::string& text, std::string_view open, std::string_view close,
                    std::size_t from = 0) {
  const std::size_t start = text.find(open, from);
  if (start == std::string::npos) return "";
  const std::size_t begin = start + open.size();
  return text.substr(begin, text.find(close, begin) - begin);
}

// "BAND QSOS POINTS MULTS" per band row, then the score, as one text.
std::string ScoreOfResultText(const std::string& text) {
  std::string out;
  for (std::string line : Split(text, "\r\n")) {
    std::vector<std::string> f = Split(line, "\t ");
    if (f.size() != 4 || !IsNumber(f[1]) || !IsNumber(f[2]) || !IsNumber(f[3])) continue;
    const std::string band = f[0].substr(f[0].find_last_of(' ') + 1);
    if (!band.empty() && band != "Total")
      out += band + " " + f[1] + " " + f[2] + " " + f[3] + "\n";
  }
  const std::string score = Between(text, " = ", "\r", text.find("Score: "));
  if (text.find("Score: ") != std::string::npos && IsNumber(score)) out += "score " + score;
  return out;
}

std::string ScoreOfReport(const std::string& page) {
  const std::string bands = Between(page, "<table id=bands>", "</table>");
  std::string out;
  for (std::size_t at = bands.find("<tr><td class=t>"); at != std::string::npos;
       at = bands.find("<tr><td class=t>", at + 1)) {
    std::vector<std::string> cells =
        Split(Between(bands, "<tr><td class=t>", "</td></tr>", at), "</td><td>");
    if (cells.size() == 5 && IsNumber(cells[1]) && IsNumber(cells[2]) && IsNumber(cells[3]))
      out += cells[0] + " " + cells[1] + " " + cells[2] + " " + cells[3] + "\n";
  }
  const std::string score = Between(page, "<td id=score>", "</td>");
  if (!score.empty()) out += "score " + score;
  return out;
}

// The report and the plug-in's own result agree on the score, the QSOs and
// the multipliers of every band, log by log.
TEST(ReplayReportTest, ReportScoreEqualsTheResultText) {
  for (const std::string& log : {kTestData + "/../examples/sample.cbr",
                                kTestData + "/report/short_contest.cbr",
                                kTestData + "/report/two_days.adi"}) {
    SCOPED_TRACE(log);
    RenewReplayModule();
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
    EXPECT_EQ(ScoreOfReport(ReadWholeFile(report)), expected);
  }
}

TEST(ReplayReportTest, ReportNamesTheProblemQsosOfTheLog) {
  RenewReplayModule();
  velmora::testing::TempFolder folder;
  const std::string report = (folder.path() / "r.html").string();
  std::ostringstream out, err;
  ASSERT_EQ(RunReplay(ParseReplayOptions({kTestData + "/report/two_days.adi", "--cty", kCty,
                                          "--dir", folder.path().string(), "--report", report,
                                          "--break-minutes", "600"}),
                      out, err),
            kReplayOk);
  const std::string page = ReadWholeFile(report);
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
