#include "robot/upload_judgement.h"

#include <gtest/gtest.h>

#include "testing/whole_file.h"

namespace velmora::robot {
namespace {

using velmora::testing::ReadWholeFile;

class UploadJudgementTest : public ::testing::Test {
 protected:
  UploadJudgementTest()
      : cty_(CountryFile::Parse(ReadWholeFile(VELMORA_TESTDATA "/cty_excerpt.dat"), "cty")) {
    config_.categories = DefaultCategories();
  }

  Judgement Judge(const std::string& qso_lines, const std::string& headers = "") {
    return JudgeUpload("START-OF-LOG: 3.0\nCALLSIGN: OK1ZEB\nCATEGORY-OPERATOR: SINGLE-OP\n" +
                           headers + qso_lines + "END-OF-LOG:\n",
                       config_, cty_);
  }

  static std::string Lines(const std::vector<Finding>& findings) {
    std::string text;
    for (const Finding& f : findings) text += std::to_string(f.line) + ": " + f.message + "\n";
    return text;
  }

  RobotConfig config_;
  CountryFile cty_;
};

const char kGood[] =
    "QSO: 14019 CW 2017-06-03 1200 OK1ZEB 599 001 DL1ABC 599 1\n"
    "QSO: 14019 CW 2017-06-03 1201 OK1ZEB 599 002 G4XYZ 599 7\n"
    "QSO: 7019 CW 2017-06-03 1210 OK1ZEB 599 003 DL1ABC 599 9\n";

TEST_F(UploadJudgementTest, SampleLogScoresAsTheReplayPrintsIt) {
  RobotConfig config;
  config.categories = DefaultCategories();
  const CountryFile cty = CountryFile::Parse(
      ReadWholeFile("/usr/share/hamradio-files/cty.dat"), "cty.dat");
  const Judgement j = JudgeUpload(ReadWholeFile(VELMORA_SAMPLE), config, cty);
  EXPECT_TRUE(j.errors.empty()) << Lines(j.errors);
  EXPECT_EQ(j.call, "OK1ZEB");
  EXPECT_EQ(j.category, "SINGLE-OP ALL HIGH");
  EXPECT_EQ(j.qsos, 391);
  EXPECT_EQ(j.points, 1623);
  EXPECT_EQ(j.mults, 270);
  EXPECT_EQ(j.score, 438210);
  ASSERT_EQ(j.bands.size(), 6u);
  EXPECT_EQ(j.bands.front().band, "160m");
  // The two short lines and the rejected ones are warnings with their lines.
  EXPECT_NE(Lines(j.warnings).find("180: QSO line has 9 columns, 10 needed; the QSO does not count"),
            std::string::npos)
      << Lines(j.warnings);
}

TEST_F(UploadJudgementTest, RefusalsListEveryErrorAtOnceWithItsLine) {
  const Judgement j = JudgeUpload(
      "START-OF-LOG: 3.0\nCALLSIGN: <b>x</b>\nCATEGORY-POWER: MEDIUM\nCATEGORY-BAND: 6M\n"
      "QSO: 14019 CW 2017-06-03 1200 OK1ZEB 599 001 DL1ABC 599 1\nEND-OF-LOG:\n",
      config_, cty_);
  EXPECT_EQ(Lines(j.errors),
            "2: CALLSIGN: \"<B>X</B>\" is not a call sign\n"
            "3: CATEGORY-POWER: \"MEDIUM\" is not a category of this contest (HIGH, LOW, QRP)\n"
            "4: CATEGORY-BAND: \"6M\" is not a category of this contest (ALL, 160M, 80M, 40M, "
            "20M, 15M, 10M, 80M-40M, 20M-15M-10M)\n");
  EXPECT_TRUE(JudgeUpload("START-OF-LOG: 3.0\nQSO: 14019 CW 2017-06-03 1200 OK1ZEB 599 1 "
                          "DL1ABC 599 1\n", config_, cty_).Refused());
}

TEST_F(UploadJudgementTest, TextsThatAreNoLogAreRefused) {
  EXPECT_EQ(Lines(JudgeUpload("", config_, cty_).errors), "0: the file is empty\n");
  EXPECT_EQ(Lines(JudgeUpload(std::string("START-OF-LOG: 3.0\nCALL\0SIGN", 27), config_, cty_)
                      .errors),
            "2: the file holds a NUL byte: it is not a text file, not a Cabrillo log\n");
  EXPECT_EQ(Lines(JudgeUpload("Dear contest manager,\nmy log follows.\n", config_, cty_).errors),
            "1: no START-OF-LOG: or QSO: line, not a Cabrillo log\n");
  EXPECT_EQ(Lines(Judge("").errors), "0: no QSO line can be read\n");
}

TEST_F(UploadJudgementTest, MoreThanATenthUnreadableIsAnotherLayout) {
  std::string lines = kGood;
  for (int i = 0; i < 7; ++i) lines += "QSO: 14019 CW 2017-06-03 1200 OK1ZEB 599 DL1ABC 599\n";
  const Judgement refused = Judge(lines + lines);
  EXPECT_TRUE(refused.Refused());
  EXPECT_NE(Lines(refused.errors).find("14 of 20 QSO lines cannot be read"), std::string::npos);
  // One bad line in eleven is a warning and the rest counts.
  std::string mostly_good;
  for (int i = 0; i < 10; ++i)
    mostly_good += "QSO: 14019 CW 2017-06-03 12" + std::to_string(10 + i) +
                   " OK1ZEB 599 " + std::to_string(i + 1) + " DL" + std::to_string(i) +
                   "ABC 599 1\n";
  const Judgement taken = Judge(mostly_good + "QSO: 14019 CW 2017-06-03 1200 OK1ZEB 599 1\n");
  EXPECT_FALSE(taken.Refused()) << Lines(taken.errors);
  EXPECT_EQ(taken.qsos, 10);
}

TEST_F(UploadJudgementTest, WarningsSayWhetherTheQsoCounts) {
  config_.contest_start = COleDateTime::FromParts(2017, 6, 3, 12, 0, 0);
  config_.contest_end = COleDateTime::FromParts(2017, 6, 4, 11, 59, 0);
  const Judgement j = Judge(std::string(kGood) +
                                "QSO: 14019 CW 2017-06-03 1211 OK1ZEB 599 003 DL1ABC 599 4\n"
                                "QSO: 14019 CW 2017-06-03 1212 OK1ZEB 599 002 F5AAA 599 4\n"
                                "QSO: 10110 CW 2017-06-03 1213 OK1ZEB 599 005 F5BBB 599 4\n"
                                "QSO: 14019 SSB 2017-06-03 1214 OK1ZEB 599 006 F5CCC 599 4\n"
                                "QSO: 14019 CW 2017-06-04 1200 OK1ZEB 599 007 F5DDD 599 4\n"
                                "QSO: 14019 CW 2017-06-03 1215 OK9XXX 599 008 F5EEE 599 4\n",
                            "CLAIMED-SCORE: 99\n");
  EXPECT_TRUE(j.errors.empty()) << Lines(j.errors);
  EXPECT_EQ(Lines(j.warnings),
            "4: CLAIMED-SCORE: 99 is not the score computed here, " + std::to_string(j.score) +
                "\n"
                "8: sent serial 3 repeats line 7's; the QSO counts\n"
                "8: dupe of line 5 (DL1ABC on 20m); it counts once\n"
                "9: sent serial 2 goes back from 3 (line 8); the QSO counts\n"
                "10: frequency 10110 kHz is on no band of the contest; the QSO does not count\n"
                "11: mode \"SSB\" is not a mode of the contest; the QSO does not count\n"
                "12: the QSO's time 2017-06-04 12:00 is outside the contest period; it does not "
                "count\n"
                "13: the QSO's own call OK9XXX is not CALLSIGN: OK1ZEB; the QSO counts for "
                "OK1ZEB\n");
  EXPECT_EQ(j.qsos, 5);  // three good, the dupe-free F5AAA and F5EEE
  EXPECT_EQ(j.claimed, 99);
}

TEST_F(UploadJudgementTest, ACutFileIsTakenWithAWarning) {
  const Judgement j = JudgeUpload("START-OF-LOG: 3.0\nCALLSIGN: OK1ZEB\n" + std::string(kGood) +
                                      "QSO: 14019 CW 2017-06-03 12",
                                  config_, cty_);
  EXPECT_FALSE(j.Refused()) << Lines(j.errors);
  EXPECT_EQ(Lines(j.warnings),
            "6: no END-OF-LOG: line: the file may be cut short; every QSO line that was read "
            "counts\n"
            "6: QSO line has 4 columns, 10 needed; the QSO does not count\n");
}

TEST_F(UploadJudgementTest, LinesEndedByCrAloneAndAByteOrderMarkReadAsTheCheckReadsThem) {
  std::string log = "\xEF\xBB\xBFSTART-OF-LOG: 3.0\rCALLSIGN: OK1ZEB\r" + std::string(kGood) +
                    "END-OF-LOG:\r";
  for (char& c : log)
    if (c == '\n') c = '\r';
  const Judgement j = JudgeUpload(log, config_, cty_);
  EXPECT_TRUE(j.errors.empty()) << Lines(j.errors);
  EXPECT_TRUE(j.warnings.empty()) << Lines(j.warnings);
  EXPECT_EQ(j.qsos, 3);
}

TEST(CallSignTest, CallsAndNotCalls) {
  for (const char* call : {"OK1ZEB", "DL/OK1ZEB/P", "K1A", "3DA0RU", "VP2E/W1AW"})
    EXPECT_TRUE(IsCallSign(call)) << call;
  for (const char* text : {"", "OK", "OK1ZEB/", "/OK1ZEB", "OK//1ZEB", "ok1zeb", "OK1 ZEB",
                           "ABCDEF", "12345", "OK1ZEB'--", "OK1ZEBOK1ZEBOK1ZEBOK1"})
    EXPECT_FALSE(IsCallSign(text)) << text;
}

}  // namespace
}  // namespace velmora::robot
