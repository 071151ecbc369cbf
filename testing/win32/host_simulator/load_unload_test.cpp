// Loading and unloading the DLL without calling it leaves no trace: no
// thread, no file.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>

#include "testing/win32/host_simulator/process_threads.h"
#include "testing/win32/host_simulator/velmora_library.h"
#include "platform/win32/temp_folder.h"

namespace velmora::testing {
namespace {

std::vector<std::string> Entries(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
    names.push_back(std::filesystem::relative(entry.path(), folder).string());
  return names;
}

TEST(LoadUnloadTest, StartsNoThreadAndWritesNoFile) {
  TempFolder folder;
  std::filesystem::create_directory("Plugins");
  const int before = CountProcessThreads();
  ASSERT_GT(before, 0);
  {
    VelmoraLibrary library;
    ASSERT_TRUE(library.loaded()) << "LoadLibrary error " << library.load_error();
    EXPECT_EQ(CountProcessThreads(), before);
  }
  EXPECT_EQ(CountProcessThreads(), before);
  EXPECT_EQ(Entries(folder.path()), std::vector<std::string>{"Plugins"});
}

TEST(LoadUnloadTest, LoadsAgainAfterUnloading) {
  TempFolder folder;
  std::filesystem::create_directory("Plugins");
  for (int round = 0; round < 2; ++round) {
    VelmoraLibrary library;
    ASSERT_TRUE(library.loaded()) << "round " << round;
    EXPECT_EQ(RunScenario("reset - 0 DL1ABC 2017-06-03 12:00 2017-06-04 11:59 DL EU\n"
                          "sets\n",
                          library.plain()),
              "reset - 0 DL1ABC 2017-06-03 12:00 2017-06-04 11:59 DL EU -> 1\n"
              "sets -> 1\n");
  }
}

// The host may let the library go right after a reset, with the setup
// thread still busy opening its window; the unload returns at once all the
// same, and loading again finds the same module, which a reset serves.
TEST(LoadUnloadTest, UnloadRightAfterAResetIsPrompt) {
  TempFolder folder;
  std::filesystem::create_directory("Plugins");
  for (int round = 0; round < 5; ++round) {
    auto library = std::make_unique<VelmoraLibrary>();
    ASSERT_TRUE(library->loaded()) << "round " << round;
    EXPECT_EQ(RunScenario("reset - 0 DL1ABC 2017-06-03 12:00 2017-06-04 11:59 DL EU\n",
                          library->plain()),
              "reset - 0 DL1ABC 2017-06-03 12:00 2017-06-04 11:59 DL EU -> 1\n")
        << "round " << round;
    const auto start = std::chrono::steady_clock::now();
    library.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1))
        << "round " << round;
  }
}

}  // namespace
}  // namespace velmora::testing
