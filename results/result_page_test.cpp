#include "results/result_page.h"

#include <gtest/gtest.h>

#include "testing/module_fixture.h"

namespace velmora {
namespace {

using testing::At;
using testing::Qso;

constexpr char kHead[] =
    "<html><head><style>table{ width:100%; }table, th, td{ border: 1px solid black; "
    "border-collapse: collapse; }th, td{ padding: 1px; text-align: middle; }th,td{ "
    "background-color: #fffac6; color: black}</style></head><body>"
    "<center><b>   Velmora Memorial Contest HF 03.06-04.06.2017</b></center>"
    "<center>Contestant:  <b>DL1ABC</center></b><table>"
    "<tr><th> Band</th><th> QSOs</th><th> Points</th><th> DXCC</th></tr>";

std::string Row(const char* band, int qsos, int points, int mults) {
  return "<tr><th> <center>" + std::string(band) + "</center></th><td><center>" +
         std::to_string(qsos) + "</center></td><td><center>" + std::to_string(points) +
         "</center></td><td><center>" + std::to_string(mults) + "</center></td></tr>";
}

std::string Tail(int dupes, int bad, const char* score, const char* last,
                 const char* qso_rate, const char* pts_rate) {
  return "<tr><th> <center>Dupe</center></th><td><center>" + std::to_string(dupes) +
         "</center></td><td colspan=8> </td></tr>"
         "<tr><th> <center>Bad QSO</center></th><td><center>" + std::to_string(bad) +
         "</center></td><td colspan=8> </td></tr>"
         "<tr><th>Score:</th><td colspan=9><center>" + score + "</center></td></tr>"
         "<tr><th>Last QSO points:</small></th><td colspan=9><center>" + last +
         "</center></td></tr>"
         "<th colspan=10><center>Rate</center></th></tr>"
         "<tr><th> Hourly (10min/1 hour) QSO rate: </th><td colspan=9><center>" +
         qso_rate + "</center></td></tr>"
         "<tr><th> Hourly (10min/1 hour) pts rate: </th><td colspan=9><center>" +
         pts_rate + "</center></td></tr>"
         "</table><h6 align=right>Created by Tovi 2017</h6></body></html>";
}

class ResultPageTest : public testing::ModuleFixture, public ::testing::Test {
 protected:
  void SetUp() override { module.SetVersion(); }
  std::string Result() {
    int score = 0;
    std::string page = module.GetResult(&score);
    EXPECT_EQ(score, -1);
    return page;
  }
};

TEST_F(ResultPageTest, EmptyLogPageHasEveryRowWithZeros) {
  module.ResetStats(Reset());
  EXPECT_EQ(Result(), kHead + Row("Total", 0, 0, 0) +
                          Tail(0, 0, "0 * 0 = 0", "    0", "    0 /0", "    0 /0"));
}

TEST_F(ResultPageTest, ShowsDupesBadQsosAndRates) {
  module.ResetStats(Reset());
  module.AddData(Qso("F5ABC", "F", "EU", At(12, 0)));
  module.AddData(Qso("F5ABC", "F", "EU", At(12, 1)));
  module.AddData(Qso("W1AW", "K", "NA", At(12, 2), "30m"));
  module.AddData(Qso("W1AW", "K", "NA", At(12, 3)));
  EXPECT_EQ(Result(), kHead + Row("20m", 2, 8, 2) + Row("Total", 2, 8, 2) +
                          Tail(1, 1, "8 * 2 = 16", "    5", "    2 /12", "    8 /48"));
}

TEST_F(ResultPageTest, ExportModeShowsZeroRatesButTheLastPoints) {
  module.ResetStats(Reset(1));
  module.AddData(Qso("W1AW", "K", "NA", At(12, 3)));
  EXPECT_EQ(Result(), kHead + Row("20m", 1, 5, 1) + Row("Total", 1, 5, 1) +
                          Tail(0, 0, "5 * 1 = 5", "    5", "    0 /0", "    0 /0"));
}

}  // namespace
}  // namespace velmora
