// The DLL as the host logger sees it: every entry point under both of its
// names, answering the same through either.

#include <filesystem>

#include "testing/win32/host_simulator/host_simulator_fixture.h"
#include "testing/win32/host_simulator/message_box_closer.h"
#include "testing/whole_file.h"

namespace velmora::testing {
namespace {

constexpr char kEveryCall[] =
    "reset - 0 DL1ABC 2017-06-03 12:00 2017-06-04 11:59 DL EU\n"
    "add DL1ABC F5ABC 2017-06-03 13:00 14025000 CW 599 001 599 007 F EU 20m\n"
    "add DL1ABC F5ABC 2017-06-03 13:05 14025000 CW 599 002 599 008 F EU 20m\n"
    "remove DL1ABC F5ABC 2017-06-03 13:05 14025000 CW 599 002 599 008 F EU 20m\n"
    "check F5ABC CW F 40m ~\n"
    "valid 123\n"
    "valid 12A\n"
    "count\n"
    "sets\n"
    "name 0\n"
    "setup\n"
    "result\n";

// Once the host has announced its version, the result is the page.
constexpr char kVersionThenResult[] = "version 2.19\nresult\n";

using velmora::testing::ReadWholeFile;

using EntryPointsTest = HostSimulatorTest;

TEST_F(EntryPointsTest, EveryNameResolvesAndEachPairSharesOneFunction) {
  std::string problems;
  for (const std::string& problem : library_.problems()) problems += problem + "\n";
  EXPECT_EQ(problems, "");
}

TEST_F(EntryPointsTest, EveryEntryPointAnswersTheSameThroughBothNames) {
  MessageBoxCloser closer;
  std::string plain = RunScenario(kEveryCall, library_.plain());
  std::string decorated = RunScenario(kEveryCall, library_.decorated());
  EXPECT_EQ(plain, decorated);
  for (const char* line :
       {"add DL1ABC F5ABC 2017-06-03 13:05 14025000 CW 599 002 599 008 F EU 20m -> 1\n",
        "check F5ABC CW F 40m ~ -> 2 serial \"007\"\n", "valid 12A -> 0\n",
        "count -> 1\n", "sets -> 1\n", "name 0 -> \"Velmora Memorial(C)\"\n",
        "setup -> done\n", "Score: 3*1 = 3\r\n"})
    EXPECT_NE(plain.find(line), std::string::npos) << line << "in\n" << plain;

  std::string plain_page = RunScenario(kVersionThenResult, library_.plain());
  EXPECT_EQ(plain_page, RunScenario(kVersionThenResult, library_.decorated()));
  EXPECT_NE(plain_page.find("version 2.19 -> 0\nresult -> score -1, "), std::string::npos);
  EXPECT_NE(plain_page.find("<html>"), std::string::npos) << plain_page;

  // SetupSet0 tells the operator, once per call, in a box with the
  // system's default title.
  auto seen = closer.seen();
  ASSERT_EQ(seen.size(), 2u);
  for (const auto& box : seen) {
    EXPECT_EQ(box.text, "No additional setup for this plugin");
    EXPECT_EQ(box.caption, "Error");
  }
}

TEST_F(EntryPointsTest, SettingsFileLandsInPluginsUnderTheCurrentFolder) {
  RunScenario("reset - 0 DL1ABC 2017-06-03 12:00 2017-06-04 11:59 DL EU\n",
              library_.plain());
  EXPECT_EQ(ReadWholeFile(folder_.path() / "Plugins" / "Velmora.ini"), "[Settings]\r\nStart=1\r\n");
}

}  // namespace
}  // namespace velmora::testing
