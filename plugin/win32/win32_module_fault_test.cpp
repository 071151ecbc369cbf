// The module's writers on the Win32 file layer whose system calls fail on
// purpose. Whatever fails, the QSOs stay as they would be, an earlier file
// stays whole or grows by whole lines, no temporary is left, only the
// Cabrillo export tells the operator, and once the fault is gone the files
// catch up.

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "platform/win32/faulty_system_calls.h"
#include "platform/win32/temp_folder.h"
#include "platform/win32/win32_file_system.h"
#include "testing/module_on_disk.h"

namespace velmora {
namespace {

using testing::FaultStep;

struct Win32Disk {
  using Files = Win32FileSystem;
  using Faults = testing::FaultySystemCalls;
  using Step = FaultStep;
  using Place = testing::TempFolder;  // a fresh folder, made the current one
  static constexpr char kSettingsFile[] = "Plugins\\Velmora.ini";
};

using Fault = testing::Fault<FaultStep>;
using ModuleOnDisk = testing::ModuleOnDisk<Win32Disk>;

constexpr Fault kFaults[] = {
    {"Open", FaultStep::kOpen, 0},         {"Write", FaultStep::kWrite, 0},
    {"Flush", FaultStep::kFlush, 0},       {"Close", FaultStep::kClose, 0},
    {"Move", FaultStep::kMove, 0},         {"DiskFull", FaultStep::kDiskFull, 10},
    {"ReadOnlyFolder", FaultStep::kReadOnlyFolder, 0},
};

std::vector<testing::Writer> Writers() { return testing::Writers(Win32Disk::kSettingsFile); }

class EveryWriterTest
    : public ModuleOnDisk,
      public ::testing::WithParamInterface<std::tuple<std::size_t, Fault>> {};

TEST_P(EveryWriterTest, FailureKeepsQsosAndFilesWholeAndIsMadeGoodLater) {
  WriteThrough(Writers()[std::get<0>(GetParam())], std::get<1>(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(
    WritersAndSteps, EveryWriterTest,
    ::testing::Combine(::testing::Range<std::size_t>(0, 5), ::testing::ValuesIn(kFaults)),
    [](const ::testing::TestParamInfo<std::tuple<std::size_t, Fault>>& info) {
      return std::string(Writers()[std::get<0>(info.param)].name) + "_" +
             std::get<1>(info.param).name;
    });

TEST_F(ModuleOnDisk, FullDiskThroughAContest) { FullDiskThroughAContest(); }
TEST_F(ModuleOnDisk, ReadOnlyFolderThroughAContest) { ReadOnlyFolderThroughAContest(); }
TEST_F(ModuleOnDisk, MissingFolders) { MissingFolders(); }

}  // namespace
}  // namespace velmora
