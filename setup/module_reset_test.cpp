#include <gtest/gtest.h>

#include "setup/module.h"
#include "testing/module_fixture.h"

namespace velmora {
namespace {

using testing::At;
using testing::Qso;

constexpr char kHeading[] = "Velmora Memorial Contest HF UBN file \r\n";

class ModuleResetTest : public testing::ModuleFixture, public ::testing::Test {
 protected:
  void HostVersion(const std::string& version) {
    files.folders["host/"] = {"Vemo2.ini"};
    files.files["host/Vemo2.ini"] = "[Vemo]\r\nVemo=" + version + "\r\n";
  }
};

TEST_F(ModuleResetTest, StartsBothSideFilesWithTheHeadingAlone) {
  files.files["err.txt"] = "old\r\n";
  files.files["BadQSO_StatsZEB_04_06_2017.txt"] = "old\r\n";
  EXPECT_EQ(module.ResetStats(Reset()), 1);
  EXPECT_EQ(files.files["err.txt"], kHeading);
  EXPECT_EQ(BadQsoFile(), kHeading);
  EXPECT_EQ(module.bad_qso_file_name(), "BadQSO_StatsZEB_04_06_2017.txt");

  ResetArgs november = Reset();
  november.end = COleDateTime::FromParts(2017, 11, 6, 0, 0, 0);
  module.ResetStats(november);
  EXPECT_EQ(files.files["BadQSO_StatsZEB_06_11_2017.txt"], kHeading);
}

TEST_F(ModuleResetTest, HandingTheLogOverAgainGivesTheSameFile) {
  auto hand_over = [&] {
    module.ResetStats(Reset());
    module.AddData(Qso("F5ABC", "F", "EU", At(12, 0)));
    module.AddData(Qso("F5ABC", "F", "EU", At(12, 1)));
    module.AddData(Qso("W1AW", "K", "NA", At(12, 2), "17m"));
    return BadQsoFile();
  };
  std::string first = hand_over();
  EXPECT_EQ(hand_over(), first);
  EXPECT_EQ(module.LogCopy().size(), 2u);
}

TEST_F(ModuleResetTest, RecordsStationDataAndResetsTheTables) {
  module.ResetStats(Reset());
  module.AddData(Qso("F5ABC", "F", "EU", At(12, 0)));
  module.GetResult(nullptr);
  module.ResetStats(Reset());
  Station s = module.StationCopy();
  EXPECT_EQ(s.StartDayMonth, "03.06");
  EXPECT_EQ(s.StartYear, "2017");
  EXPECT_EQ(s.EndDate, "04.06.2017");
  EXPECT_EQ(s.StationCall, "DL1ABC");
  EXPECT_EQ(s.HostFolder, "host/");
  BandLists lists = module.ListsCopy();
  EXPECT_TRUE(module.LogCopy().empty());
  EXPECT_TRUE(lists.BandsWorked.empty());
  EXPECT_EQ(lists.BandRows[0], (std::vector<std::string>{"160m", "-", "-", "-", "-"}));
  EXPECT_EQ(lists.BandRows[5], (std::vector<std::string>{"10m", "-", "-", "-", "-"}));
  EXPECT_EQ(lists.BandMults[3], std::vector<std::string>{"F"});  // not a reset's business
}

TEST_F(ModuleResetTest, StartToggleOpensTheSetupWindowEveryOtherReset) {
  module.ResetStats(Reset());
  EXPECT_EQ(module.host_version(), "Vemo");
  EXPECT_EQ(windows.setup_starts, 1);
  EXPECT_EQ(settings.Read("Start"), "1");
  module.ResetStats(Reset());
  EXPECT_EQ(windows.setup_starts, 1);
  EXPECT_EQ(settings.Read("Start"), "0");
  module.ResetStats(Reset());  // the window is open: nothing changes
  EXPECT_EQ(windows.setup_starts, 1);
  EXPECT_EQ(settings.Read("Start"), "0");
  windows.setup_open = false;
  module.ResetStats(Reset());
  EXPECT_EQ(windows.setup_starts, 2);
}

TEST_F(ModuleResetTest, HostsWithTheirOwnSetupNeverGetTheWindow) {
  for (const char* version : {"2.14R", "2.16", "2.17"}) {
    testing::ModuleFixture f;
    f.files.folders["host/"] = {"Vemo2.ini"};
    f.files.files["host/Vemo2.ini"] = std::string("Vemo=") + version + "\r\n";
    f.module.ResetStats(f.Reset());
    EXPECT_EQ(f.module.host_version(), version);
    EXPECT_EQ(f.settings.Read("Start"), "1");
    f.module.ResetStats(f.Reset());
    EXPECT_EQ(f.settings.Read("Start"), "0");
    f.module.ResetStats(f.Reset());
    EXPECT_EQ(f.windows.setup_starts, 0) << version;
  }
}

TEST_F(ModuleResetTest, ExportResetRunsTheFormAndOpensNoWindow) {
  module.ResetStats(Reset(1));
  EXPECT_EQ(windows.forms_run, 1);
  EXPECT_TRUE(module.export_flag());
  EXPECT_EQ(windows.setup_starts, 0);
  EXPECT_EQ(settings.Read("Start"), "0");
  auto start_writes = std::count(settings.writes.begin(), settings.writes.end(), "Start=1");
  EXPECT_EQ(start_writes, 1);

  windows.confirm_form = false;
  module.ResetStats(Reset(1));
  EXPECT_FALSE(module.export_flag());
  EXPECT_EQ(settings.Read("Start"), "0");
  EXPECT_EQ(windows.setup_starts, 0);
}

TEST_F(ModuleResetTest, RussianTextsStaySwitchedOn) {
  module.ResetStats(Reset());
  EXPECT_FALSE(module.russian_texts());
  ResetArgs ua = Reset();
  ua.own_prefix = "UA9";
  module.ResetStats(ua);
  EXPECT_TRUE(module.russian_texts());
  module.ResetStats(Reset());
  EXPECT_TRUE(module.russian_texts());
}

TEST_F(ModuleResetTest, HostVersionDecidesTheUnworkableCode) {
  CheckCallArgs ask;
  ask.call = "F5ABC";
  ask.mode = "CW";
  ask.band = "30m";
  module.ResetStats(Reset());
  EXPECT_EQ(module.CheckCall(ask, nullptr), 4);
  HostVersion("2.19");
  module.ResetStats(Reset());
  EXPECT_EQ(module.host_version(), "2.19");
  EXPECT_EQ(module.CheckCall(ask, nullptr), 1);
}

TEST_F(ModuleResetTest, UnwritableSideFilesDoNotStopTheRun) {
  files.fail_write = {"err.txt", "BadQSO_StatsZEB_04_06_2017.txt"};
  EXPECT_EQ(module.ResetStats(Reset()), 1);
  EXPECT_EQ(module.AddData(Qso("F5ABC", "F", "EU", At(12, 0), "30m")), 0);
  EXPECT_EQ(module.AddData(Qso("F5ABC", "F", "EU", At(12, 0))), 1);
  EXPECT_FALSE(files.files.count("err.txt"));
  EXPECT_EQ(module.LogCopy().size(), 1u);
}

}  // namespace
}  // namespace velmora
