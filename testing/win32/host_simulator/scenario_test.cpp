// The shared scenarios (testdata/scenarios) through the DLL, compared byte
// for byte with the same goldens as the native library's run.

#include "testing/win32/host_simulator/host_simulator_fixture.h"

namespace velmora::testing {
namespace {

class ScenarioTest : public HostSimulatorTest {
 protected:
  void RunAndCompare(const std::string& scenario) {
    for (const auto& file : RunScenarioFile(ScenarioPath(scenario), library_.plain()))
      EXPECT_EQ(file.actual, file.expected)
          << file.output << " differs; the run is kept in " << folder_.path().string();
  }
};

TEST_F(ScenarioTest, ShortContest) { RunAndCompare("short_contest.txt"); }

}  // namespace
}  // namespace velmora::testing
