#include "check/check_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "check/entrant_report.h"
#include "replay/replay_options.h"
#include "replay/replay_session.h"
#include "testing/contest_simulator.h"
#include "testing/temp_folder.h"
#include "testing/whole_file.h"

namespace velmora::check {
namespace {

namespace fs = std::filesystem;

const std::string kTestData = VELMORA_TESTDATA;
const std::string kSample = VELMORA_SAMPLE;
const std::string kCty = "/usr/share/hamradio-files/cty.dat";

using velmora::testing::ReadWholeFile;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class CheckRunTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& text) {
    std::string path = dir_ / name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  int Run(std::vector<std::string> args) {
    err_.str("");
    args.insert(args.end(), {"--out", dir_ / "out", "--cty", kCty, "--quiet"});
    return RunCheck(ParseCheckOptions(args), err_);
  }
  // The row of results.csv of `call`, split at commas.
  std::vector<std::string> ResultRow(const std::string& call) {
    for (const std::string& line : Lines(ReadWholeFile(dir_.path() / "out" / "results.csv"))) {
      std::vector<std::string> fields;
      std::stringstream s(line);
      for (std::string f; std::getline(s, f, ',');) fields.push_back(f);
      if (fields.size() > 1 && fields[1] == call) return fields;
    }
    return {};
  }

  velmora::testing::TempFolder dir_;
  std::ostringstream err_;
};

// "QSOs,points,mults,score" of velmora-replay's result text for a log.
std::string ReplayFigures(const std::string& log, const std::string& work) {
  std::ostringstream out, err;
  EXPECT_EQ(replay::RunReplay(replay::ParseReplayOptions({log, "--dir", work, "--cty", kCty}),
                              out, err),
            0);
  std::string total, score;
  for (const std::string& line : Lines(out.str())) {
    if (line.rfind("Total\t", 0) == 0) total = line;
    if (line.rfind("Score: ", 0) == 0) score = line;
  }
  int q = 0, m = 0;
  long long p = 0, s = 0;
  EXPECT_EQ(std::sscanf(total.c_str(), "Total\t %d\t %lld\t %d", &q, &p, &m), 3) << total;
  EXPECT_EQ(std::sscanf(score.c_str(), "Score: %*d*%*d = %lld", &s), 1) << score;
  return std::to_string(q) + "," + std::to_string(p) + "," + std::to_string(m) + "," +
         std::to_string(s);
}

TEST_F(CheckRunTest, ClaimedFiguresAreVelmoraReplaysScore) {
  velmora::testing::SimulatorOptions options;
  options.stations = 12;
  options.qsos_per_station = 40;
  options.dupe_per_mille = 100;
  std::vector<std::string> logs = {Write("sample.cbr", ReadWholeFile(kSample))};
  for (const auto& log : velmora::testing::SimulateContest(options).logs)
    logs.push_back(Write(log.file_name, log.text));
  ASSERT_EQ(Run({dir_.path().string()}), kCheckOk) << err_.str();
  for (std::size_t i = 0; i < logs.size(); ++i) {
    std::vector<std::string> row = ResultRow(i == 0 ? "OK1ZEB" : fs::path(logs[i]).stem().string());
    ASSERT_EQ(row.size(), 15u) << logs[i];
    EXPECT_EQ(row[3] + "," + row[4] + "," + row[5] + "," + row[6],
              ReplayFigures(logs[i], dir_ / ("replay" + std::to_string(i))))
        << logs[i];
  }
}

TEST_F(CheckRunTest, BadInputIsReportedWithFileAndLineAndSkipped) {
  const std::string head = "START-OF-LOG: 3.0\nCALLSIGN: DL1AAA\n";
  const std::string qso = "QSO: 14025 CW 2017-06-03 1200 DL1AAA 599 001 OK1BBB 599 002\n";
  Write("a_cut.log", head + qso + "QSO: 14025 CW 2017-06-03 1201 DL1AA");
  Write("b_nocall.log", "START-OF-LOG: 3.0\n" + qso + "END-OF-LOG:\n");
  Write("c_garbage.cbr", std::string("\x7f" "ELF\x01\x00\x00\xff\xfe binary", 16));
  Write("d_width.log",
        "START-OF-LOG: 3.0\nCALLSIGN: OK1BBB\n"
        "QSO: 14025 CW 2017-06-03 1200 OK1BBB 599 002 DL1AAA 599\n"
        "QSO: 14025 CW 2017-06-03 1200 OK1BBB 599 002 DL1AAA 599 001 0 X Y\n"
        "END-OF-LOG:\n");
  Write("notes.txt", "not looked at");
  ASSERT_EQ(Run({dir_.path().string()}), kCheckOk);
  const std::string err = err_.str();
  const std::string d = dir_.path().string() + "/";
  for (const std::string& message : {
           d + "a_cut.log:4: QSO line has 5 columns, 10 needed",
           d + "a_cut.log:4: no END-OF-LOG: line, the file may be cut short",
           d + "b_nocall.log:1: no CALLSIGN: header; file skipped",
           d + "c_garbage.cbr:1: no START-OF-LOG: or QSO: line, not a Cabrillo log; file skipped",
           d + "d_width.log:3: QSO line has 9 columns, 10 needed",
           d + "d_width.log:4: QSO line has 13 columns, at most 11 expected"})
    EXPECT_NE(err.find("velmora-check: " + message + "\n"), std::string::npos)
        << message << "\nin:\n" << err;
  EXPECT_EQ(err.find("notes.txt"), std::string::npos);
  // The cut line stays in qsos.csv as a rejected line; the wide one is used.
  const std::string qsos = ReadWholeFile(dir_.path() / "out" / "qsos.csv");
  EXPECT_NE(qsos.find("DL1AAA,3,ok,OK1BBB,,4,0\n"), std::string::npos) << qsos;
  EXPECT_NE(qsos.find("DL1AAA,4,rejected,,,,0\n"), std::string::npos) << qsos;
  EXPECT_NE(qsos.find("OK1BBB,3,rejected,,,,0\n"), std::string::npos) << qsos;
}

TEST_F(CheckRunTest, WritesEveryOutputAndTheLaterOfTwoLogsOfOneCallWins) {
  const std::string a =
      "START-OF-LOG: 3.0\nCALLSIGN: DL1AAA\nCATEGORY-OPERATOR: SINGLE-OP\n"
      "QSO: 14025 CW 2017-06-03 1200 DL1AAA 599 001 OK1BBB 599 002\nEND-OF-LOG:\n";
  Write("dl1aaa-old.log", a + "QSO: 7025 CW 2017-06-03 1300 DL1AAA 599 002 OK1BBB 599 003\n");
  Write("dl1aaa.LOG", a);
  Write("ok1bbb.cbr",
        "START-OF-LOG: 3.0\nCALLSIGN: OK1BBB\n"
        "QSO: 14025 CW 2017-06-03 1201 OK1BBB 599 002 DL1AAA 599 009\nEND-OF-LOG:\n");
  ASSERT_EQ(Run({dir_.path().string()}), kCheckOk) << err_.str();
  EXPECT_NE(err_.str().find("dl1aaa-old.log: a second log of DL1AAA; " + (dir_ / "dl1aaa.LOG") +
                            " is checked instead"),
            std::string::npos)
      << err_.str();
  const fs::path out = dir_.path() / "out";
  EXPECT_EQ(ReadWholeFile(out / "qsos.csv"),
            "log,line,verdict,call,correct_call,partner_line,offset_minutes\n"
            "DL1AAA,4,ok,OK1BBB,,3,0\n"
            "OK1BBB,3,bad-exchange,DL1AAA,,4,0\n");
  EXPECT_EQ(Lines(ReadWholeFile(out / "results.csv"))[1], "1,DL1AAA,SINGLE-OP,1,3,1,3,1,3,1,3,0,0,0,0");
  EXPECT_EQ(Lines(ReadWholeFile(out / "results.csv"))[2], "1,OK1BBB,UNKNOWN,1,3,1,3,0,0,0,0,0,0,1,0");
  const std::string html = ReadWholeFile(out / "results.html");
  EXPECT_NE(html.find("<a href=\"reports/OK1BBB.txt\">OK1BBB</a>"), std::string::npos);
  EXPECT_NE(html.find("<svg"), std::string::npos);
  const std::string report = ReadWholeFile(out / "reports" / "OK1BBB.txt");
  EXPECT_NE(report.find("  line 3      2017-06-03 1201 20m  DL1AAA       copied 9, DL1AAA sent 1 "
                        "(its line 4)\n"),
            std::string::npos)
      << report;
  const std::string json = ReadWholeFile(out / "reports" / "OK1BBB.json");
  EXPECT_NE(json.find("\"copied\": \"9\", \"sent\": \"1\""), std::string::npos) << json;
}

TEST_F(CheckRunTest, ARulingOnAnUnreadableLineIsReportedNotCrashed) {
  Write("OK1AAA.log",
        "START-OF-LOG: 3.0\nCALLSIGN: OK1AAA\n"
        "QSO: 14025 CW 2020-01-06 1200 OK1AAA 599 1 DL1BBB 599\n"
        "QSO: 14025 CW 2020-01-06 1201 OK1AAA 599 2 DL1BBB 599 x7\nEND-OF-LOG:\n");
  Write("DL1BBB.log",
        "START-OF-LOG: 3.0\nCALLSIGN: DL1BBB\n"
        "QSO: 14025 CW 2020-01-06 1201 DL1BBB 599 x8 OK1AAA 599 3\nEND-OF-LOG:\n");
  const std::string rulings = Write("rulings.txt", "OK1AAA,3,nil,unreadable\nOK1AAA,3,unique,x\n");
  ASSERT_EQ(Run({dir_ / "OK1AAA.log", dir_ / "DL1BBB.log", "--rulings", rulings}), kCheckOk)
      << err_.str();
  EXPECT_NE(err_.str().find("line 3 of " + (dir_ / "OK1AAA.log") + " was rejected"), std::string::npos)
      << err_.str();
  const std::string report = ReadWholeFile(dir_.path() / "out" / "reports" / "OK1AAA.txt");
  EXPECT_NE(report.find("line 3 "), std::string::npos) << report;
  EXPECT_NE(report.find("rejected -> nil: unreadable"), std::string::npos) << report;
  // A serial that is no number is shown as logged.
  const std::string other = ReadWholeFile(dir_.path() / "out" / "reports" / "DL1BBB.txt");
  EXPECT_NE(other.find("copied 3, OK1AAA sent 2"), std::string::npos) << other;
  const std::string own = ReadWholeFile(dir_.path() / "out" / "reports" / "OK1AAA.json");
  EXPECT_NE(own.find("\"copied\": \"x7\", \"sent\": \"x8\""), std::string::npos) << own;
}

TEST_F(CheckRunTest, OddFilesAreReadAndTheirTroublesSaid) {
  // CR-only line ends, a QSO line of another own call, a dangling link.
  Write("DL1AAA.log",
        "START-OF-LOG: 3.0\rCALLSIGN: DL1AAA\r"
        "QSO: 14025 CW 2017-06-03 1200 DL1AAX 599 1 OK1BBB 599 1\rEND-OF-LOG:\r");
  Write("OK1BBB.log",
        "START-OF-LOG: 3.0\nCALLSIGN: OK1BBB\n"
        "QSO: 14025 CW 2017-06-03 1200 OK1BBB 599 1 DL1AAA 599 1\nEND-OF-LOG:\n");
  fs::create_symlink(dir_ / "gone.log", dir_ / "dangling.log");
  ASSERT_EQ(Run({dir_.path().string()}), kCheckOk) << err_.str();
  EXPECT_EQ(err_.str().find("cannot be listed"), std::string::npos) << err_.str();
  EXPECT_NE(err_.str().find("DL1AAA.log:3: the QSO line's own call DL1AAX is not the log's "
                            "CALLSIGN: DL1AAA (1 such line)"),
            std::string::npos)
      << err_.str();
  EXPECT_NE(ReadWholeFile(dir_.path() / "out" / "qsos.csv").find("DL1AAA,3,ok,OK1BBB,,3,0\n"),
            std::string::npos);
  EXPECT_THROW(ParseCheckOptions({"a.log", "--out", "o", "--start", "2017-06-03 13:00", "--end",
                                  "2017-06-03 12:00"}),
               std::invalid_argument);
}

TEST(ReportJson, PassesValidUtf8AndEscapesTheRest) {
  EXPECT_EQ(JsonString("best\xc3\xa4tigt"), "\"best\xc3\xa4tigt\"");
  EXPECT_EQ(JsonString("\xe2\x82\xac 5"), "\"\xe2\x82\xac 5\"");
  EXPECT_EQ(JsonString("a\xe4" "b"), "\"a\\u00e4" "b\"");              // Latin-1, no UTF-8
  EXPECT_EQ(JsonString("\xc3"), "\"\\u00c3\"");                   // cut short
  EXPECT_EQ(JsonString("\xed\xa0\x80"), "\"\\u00ed\\u00a0\\u0080\"");  // a surrogate
  EXPECT_EQ(JsonString("\"q\"\\\n"), "\"\\\"q\\\"\\\\\\u000a\"");
}

TEST_F(CheckRunTest, ExitCodesAreVelmoraReplays) {
  EXPECT_EQ(Run({dir_ / "none"}), kCheckBadInput);  // no log at all
  EXPECT_NE(err_.str().find("no such file or folder"), std::string::npos);
  Write("a.log", "START-OF-LOG: 3.0\nCALLSIGN: DL1AAA\nEND-OF-LOG:\n");
  std::ostringstream err;
  CheckOptions options = ParseCheckOptions({dir_ / "a.log", "--out", dir_ / "o", "--cty", dir_ / "x"});
  EXPECT_EQ(RunCheck(options, err), kCheckBadInput);
  Write("out", "a file where the folder should be");
  EXPECT_EQ(Run({dir_ / "a.log"}), kCheckFailed);
  EXPECT_THROW(ParseCheckOptions({"a.log"}), std::invalid_argument);
  EXPECT_THROW(ParseCheckOptions({"a.log", "--out", "o", "--uniques", "maybe"}), std::invalid_argument);
  EXPECT_THROW(ParseCheckOptions({"a.log", "--out", "o", "-j", "0"}), std::invalid_argument);
}

}  // namespace
}  // namespace velmora::check
