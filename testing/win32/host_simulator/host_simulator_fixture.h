#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "testing/win32/host_simulator/velmora_library.h"
#include "platform/win32/temp_folder.h"

namespace velmora::testing {

// A host's working folder (a new temporary folder holding an empty
// "Plugins" folder, made current) with the DLL loaded.
class HostSimulatorTest : public ::testing::Test {
 protected:
  HostSimulatorTest() { std::filesystem::create_directory(folder_.path() / "Plugins"); }

  void SetUp() override {
    ASSERT_TRUE(library_.loaded()) << "LoadLibrary error " << library_.load_error();
  }
  void TearDown() override {
    if (HasFailure()) folder_.Keep();
  }

  TempFolder folder_;
  VelmoraLibrary library_;
};

// A file of testdata/scenarios as a path this program can open: Wine shows
// the Unix root as drive Z:.
inline std::string ScenarioPath(const std::string& name) {
  return std::string("Z:") + VELMORA_SCENARIOS + "/" + name;
}

}  // namespace velmora::testing
