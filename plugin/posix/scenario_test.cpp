// Drives the shared scenarios through the built library, loaded as the host
// loads it, and compares every output with its golden byte for byte. The
// Windows host simulator runs the same scenarios against the DLL.

#include <dlfcn.h>
#include <stdlib.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <type_traits>

#include "testing/loaded_plugin.h"
#include "testing/scenario_runner.h"

namespace {

using velmora::testing::EntryPoints;

class ScenarioTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(plugin_.loaded()) << ::dlerror(); }
  void TearDown() override {
    if (HasFailure()) plugin_.KeepFolder();
  }

  template <typename F>
  void Resolve(F& function, const char* name) {
    function = plugin_.Get<std::remove_pointer_t<F>>(name);
    EXPECT_NE(function, nullptr) << name;
  }

  EntryPoints PlainNames() {
    EntryPoints e;
    Resolve(e.add_data, "AddData0");
    Resolve(e.remove_data, "RemoveData0");
    Resolve(e.reset_stats, "ResetStats0");
    Resolve(e.check_call, "CheckCall0");
    Resolve(e.is_valid_exchange, "IsValidExchg0");
    Resolve(e.get_exchange_count, "GetExchgCount0");
    Resolve(e.get_number_of_sets, "GetNumberOfSets");
    Resolve(e.get_set_name, "GetSetName");
    Resolve(e.get_result, "GetResult0");
    Resolve(e.setup_set, "SetupSet0");
    Resolve(e.set_version, "setVersion");
    return e;
  }

  void RunAndCompare(const std::string& scenario) {
    EntryPoints entry = PlainNames();
    ASSERT_FALSE(HasFailure());
    for (const auto& file : velmora::testing::RunScenarioFile(
             std::string(VELMORA_SCENARIOS) + "/" + scenario, entry))
      EXPECT_EQ(file.actual, file.expected)
          << file.output << " differs; the run is kept in " << plugin_.folder();
  }

  velmora::testing::LoadedPlugin plugin_{VELMORA_LIBRARY};
};

TEST_F(ScenarioTest, ShortContest) { RunAndCompare("short_contest.txt"); }

}  // namespace
