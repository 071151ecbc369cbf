#include "results/result_text.h"

#include <gtest/gtest.h>

#include "testing/module_fixture.h"

namespace velmora {
namespace {

using testing::At;
using testing::Qso;

constexpr char kHeading[] =
    "Velmora Memorial Contest HF 03.06-04.06.2017 \r\n\tContestant: DL1ABC\r\n"
    "\tQSOs\tPoint\tDXCC\r\n";

class ResultTextTest : public testing::ModuleFixture, public ::testing::Test {
 protected:
  std::string Result() {
    int score = 12345;
    std::string text = module.GetResult(&score);
    EXPECT_EQ(score, -1);
    return text;
  }
  // A QSO `seconds_before` the given time.
  static COleDateTime Before(const COleDateTime& t, double seconds_before) {
    return COleDateTime(t.Days() - seconds_before / 86400.0, COleDateTime::kValid);
  }
};

TEST_F(ResultTextTest, EmptyLogShowsZerosAndNoRates) {
  module.ResetStats(Reset());
  EXPECT_EQ(Result(), std::string(kHeading) +
                          "Total\t 0\t 0\t 0\r\n\r\nScore: 0*0 = 0\r\n");
  EXPECT_EQ(settings.Read("Claimed"), "0");
}

TEST_F(ResultTextTest, MixedLogScoresPointsMultipliersDupesAndRates) {
  module.ResetStats(Reset());
  module.AddData(Qso("DL2AAA", "DL", "EU", At(12, 0)));
  module.AddData(Qso("F5ABC", "F", "EU", At(12, 5)));
  module.AddData(Qso("W1AW", "K", "NA", At(12, 10)));
  module.AddData(Qso("F5ABC", "F", "EU", At(12, 15)));  // dupe
  module.AddData(Qso("", "F", "EU", At(12, 20)));       // no call: counts nowhere
  module.AddData(Qso("IT9AAA", "IT9", "EU", At(13, 0), "40m"));
  module.AddData(Qso("IG9BBB", "IG9", "EU", At(13, 5), "40m"));
  const std::string expected =
      std::string(kHeading) +
      "40m\t 2\t 6\t 1\r\n"
      "20m\t 3\t 9\t 3\r\n"
      "Total\t 5\t 15\t 4\r\n"
      "\r\nScore: 15*4 = 60\r\n"
      "\r\nHourly (10min) QSO rate:     2 (12) QSOs/hour\r\n"
      "Hourly (10min) pts rate:     6 (36) points/hour\r\n"
      "\r\nLast QSO: 3 points\r\n\r\nCreated by Tovi 2017";
  EXPECT_EQ(Result(), expected);
  EXPECT_EQ(Result(), expected);  // nothing accumulates between requests
  EXPECT_EQ(module.claimed_score(), 60);
  EXPECT_EQ(settings.Read("Claimed"), "60");
  BandLists lists = module.ListsCopy();
  EXPECT_EQ(lists.BandsWorked, (std::vector<std::string>{"40m", "20m"}));
  EXPECT_EQ(lists.BandMults[3], (std::vector<std::string>{"DL", "F", "K"}));
  EXPECT_EQ(lists.BandMults[2], (std::vector<std::string>{"I"}));
}

TEST_F(ResultTextTest, OwnItalianPrefixIsNotTheFoldedOne) {
  ResetArgs reset = Reset();
  reset.own_prefix = "IT9";
  module.ResetStats(reset);
  module.AddData(Qso("IT9XYZ", "IT9", "EU", At(12, 0)));
  EXPECT_NE(Result().find("20m\t 1\t 3\t 1\r\n"), std::string::npos);
}

TEST_F(ResultTextTest, RateWindowsTakeTheAgeToTheNearestSecond) {
  module.ResetStats(Reset());
  const COleDateTime last = At(14, 0);
  module.AddData(Qso("K1AA", "K", "NA", Before(last, 3599.6)));  // out of the hour
  module.AddData(Qso("K1AB", "K", "NA", Before(last, 3599.4)));  // in the hour
  module.AddData(Qso("K1AC", "K", "NA", Before(last, 599.6)));   // hour only
  module.AddData(Qso("K1AD", "K", "NA", Before(last, 599.4)));   // ten minutes
  module.AddData(Qso("JA1AA", "JA", "AS", Before(last, 60), "40m"));  // other band
  module.AddData(Qso("K1AE", "K", "NA", last));
  std::string text = Result();
  EXPECT_NE(text.find("QSO rate:     4 (12) QSOs/hour"), std::string::npos) << text;
  EXPECT_NE(text.find("pts rate:    20 (60) points/hour"), std::string::npos) << text;
}

TEST_F(ResultTextTest, LaterQsosThanTheLastOneCountInBothWindows) {
  module.ResetStats(Reset());
  module.AddData(Qso("K1AA", "K", "NA", At(15, 0)));
  module.AddData(Qso("K1AB", "K", "NA", At(14, 0)));
  EXPECT_NE(Result().find("QSO rate:     2 (12) QSOs/hour"), std::string::npos);
}

TEST_F(ResultTextTest, LastQsoDupeGivesTheLastCountedPointsOfItsBand) {
  module.ResetStats(Reset());
  module.AddData(Qso("F5ABC", "F", "EU", At(12, 0)));
  module.AddData(Qso("W1AW", "K", "NA", At(12, 1), "40m"));
  module.AddData(Qso("F5ABC", "F", "EU", At(12, 2)));
  EXPECT_NE(Result().find("Last QSO: 3 points"), std::string::npos);
}

TEST_F(ResultTextTest, ExportModeEndsAfterTheScore) {
  module.ResetStats(Reset(1));
  module.AddData(Qso("F5ABC", "F", "EU", At(12, 0)));
  EXPECT_EQ(Result(), std::string(kHeading) +
                          "20m\t 1\t 3\t 1\r\nTotal\t 1\t 3\t 1\r\n\r\nScore: 3*1 = 3\r\n");
  EXPECT_EQ(settings.Read("Claimed"), "3");
}

TEST_F(ResultTextTest, BandThatLostAllItsQsosKeepsAZeroRow) {
  module.ResetStats(Reset());
  QsoArgs on20 = Qso("F5ABC", "F", "EU", At(12, 0));
  module.AddData(on20);
  module.AddData(Qso("W1AW", "K", "NA", At(12, 1), "40m"));
  module.RemoveData(on20);
  std::string text = Result();
  EXPECT_NE(text.find("40m\t 1\t 5\t 1\r\n20m\t 0\t 0\t 0\r\nTotal\t 1\t 5\t 1\r\n"),
            std::string::npos);
  EXPECT_TRUE(module.ListsCopy().BandMults[3].empty());
}

TEST_F(ResultTextTest, CapitalBandIsScoredAsTheContestBand) {
  module.ResetStats(Reset());
  module.AddData(Qso("F5ABC", "F", "EU", At(12, 0), "20m"));
  EXPECT_EQ(module.AddData(Qso("F5ABC", "F", "EU", At(12, 1), "20M")), 1);
  module.AddData(Qso("G4AAA", "G", "EU", At(12, 2), "20M"));
  std::string text = Result();
  EXPECT_NE(text.find("20m\t 2\t 6\t 2\r\nTotal\t 2\t 6\t 2\r\n"), std::string::npos)
      << text;
  EXPECT_EQ(text.find("20M"), std::string::npos);
}

}  // namespace
}  // namespace velmora
