#include "replay/replay_session.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "replay/replay_module.h"
#include "testing/temp_folder.h"
#include "testing/whole_file.h"

namespace velmora::replay {
namespace {

namespace fs = std::filesystem;

const std::string kTestData = VELMORA_TESTDATA;
const std::string kCty = "/usr/share/hamradio-files/cty.dat";

using velmora::testing::ReadWholeFile;

class ReplaySessionTest : public ::testing::Test {
 protected:

  // One replay, as in a process of its own.
  int Run(std::vector<std::string> args) {
    RenewReplayModule();
    out_.str("");
    err_.str("");
    return RunReplay(ParseReplayOptions(args), out_, err_);
  }
  std::string Write(const char* name, const std::string& text) {
    std::string path = (fs::path(dir_) / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  velmora::testing::TempFolder folder_;
  const std::string dir_ = folder_.path().string();
  std::ostringstream out_, err_;
};

// The bundled sample, replayed as the host would, gives the reviewed score,
// bad-QSO file, page and Cabrillo file.
TEST_F(ReplaySessionTest, SampleLogGivesTheGoldenFiles) {
  std::string work = dir_ + "/work";
  ASSERT_EQ(Run({kTestData + "/../examples/sample.cbr", "--cty", kCty, "--dir", work,
                 "--html", dir_ + "/page.html", "--scenario", dir_ + "/calls.txt",
                 "--cabrillo", "--name", "Sample Operator",
                 "--power", "LOW", "--email", "ok1zeb@example.org"}),
            kReplayOk)
      << err_.str();
  const fs::path golden = fs::path(kTestData) / "replay";
  EXPECT_EQ(out_.str(), ReadWholeFile(golden / "sample_result.txt"));
  EXPECT_EQ(ReadWholeFile(work + "/BadQSO_StatsZEB_04_06_2017.txt"), ReadWholeFile(golden / "sample_badqso.txt"));
  EXPECT_EQ(ReadWholeFile(dir_ + "/page.html"), ReadWholeFile(golden / "sample_page.html"));
  EXPECT_EQ(ReadWholeFile(work + "/OK1ZEB.cbr"), ReadWholeFile(golden / "sample_export.cbr"));
  // The calls that the test host of the Windows DLL makes again.
  EXPECT_EQ(ReadWholeFile(dir_ + "/calls.txt"), ReadWholeFile(golden / "sample_calls.txt"));
  EXPECT_NE(err_.str().find("QSOs read, "), std::string::npos);
  EXPECT_NE(err_.str().find("sample.cbr:180: skipped: "), std::string::npos);
}

TEST_F(ReplaySessionTest, BadInputNamesFileAndLineAndExitsWithTwo) {
  std::string adif = Write("broken.adi", "header\n<EOH>\n<CALL:20>DL1ABC<EOR>\n");
  EXPECT_EQ(Run({adif, "--cty", kCty, "--dir", dir_}), kReplayBadInput);
  EXPECT_NE(err_.str().find(adif + ":3: "), std::string::npos) << err_.str();
  EXPECT_EQ(Run({dir_ + "/missing.cbr", "--cty", kCty}), kReplayBadInput);
  EXPECT_NE(err_.str().find("missing.cbr: cannot be read"), std::string::npos);
  EXPECT_THROW(ParseReplayOptions({"log.cbr", "--bogus"}), std::invalid_argument);
  EXPECT_THROW(ParseReplayOptions({"log.cbr", "--start", "3 June"}), std::invalid_argument);
  EXPECT_THROW(ParseReplayOptions({}), std::invalid_argument);
}

TEST(ReplayOptionsTest, HelpAndVersionNeedNoLogAndEndTheParse) {
  EXPECT_TRUE(ParseReplayOptions({"--help"}).help);
  EXPECT_TRUE(ParseReplayOptions({"-h", "--bogus"}).help);
  EXPECT_TRUE(ParseReplayOptions({"log.cbr", "--version"}).version);
  EXPECT_FALSE(ParseReplayOptions({"log.cbr"}).help);
  EXPECT_THROW(ParseReplayOptions({"--bogus", "--help"}), std::invalid_argument);
}

TEST_F(ReplaySessionTest, AdifWithoutOwnCallNeedsTheOption) {
  std::string adif = Write("x.adi",
                           "<CALL:5>F5ABC<QSO_DATE:8>20170603<TIME_ON:4>1200<BAND:3>20m"
                           "<MODE:2>CW<STX:1>1<SRX:2>42<EOR>\n"
                           "<CALL:4>W1AW<QSO_DATE:8>20170603<TIME_ON:4>1201<FREQ:6>10.110"
                           "<MODE:2>CW<STX:1>2<SRX:1>7<EOR>\n");
  EXPECT_EQ(Run({adif, "--cty", kCty, "--dir", dir_}), kReplayBadInput);
  EXPECT_NE(err_.str().find("--call"), std::string::npos);
  ASSERT_EQ(Run({adif, "--cty", kCty, "--dir", dir_, "--call", "DL1ABC"}), kReplayOk);
  EXPECT_NE(out_.str().find("20m\t 1\t 3\t 1\r\n"), std::string::npos) << out_.str();
  EXPECT_NE(err_.str().find("2 QSOs read, 1 stored, 0 dupes, 1 rejected"), std::string::npos)
      << err_.str();
}

}  // namespace
}  // namespace velmora::replay
