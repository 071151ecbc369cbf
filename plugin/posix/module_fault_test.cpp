// The module's writers on real files whose system calls fail on purpose.
// Whatever fails, the QSOs stay as they would be, an earlier file stays
// whole, no temporary is left, only the Cabrillo export tells the operator,
// and once the fault is gone the files catch up.

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "platform/posix/faulty_system_calls.h"
#include "platform/posix/posix_file_system.h"
#include "testing/module_on_disk.h"
#include "testing/temp_folder.h"

namespace velmora {
namespace {

using testing::FaultStep;

struct PosixDisk {
  using Files = PosixFileSystem;
  using Faults = testing::FaultySystemCalls;
  using Step = FaultStep;
  // A fresh folder, made the current one.
  struct Place {
    testing::TempFolder folder;
    testing::CurrentFolder here{folder.path()};
  };
  static constexpr char kSettingsFile[] = "Plugins/Velmora.ini";
};

using Fault = testing::Fault<FaultStep>;
using ModuleOnDisk = testing::ModuleOnDisk<PosixDisk>;

constexpr Fault kFaults[] = {
    {"Open", FaultStep::kOpen, 0},         {"Write", FaultStep::kWrite, 0},
    {"Fsync", FaultStep::kFsync, 0},       {"Close", FaultStep::kClose, 0},
    {"Rename", FaultStep::kRename, 0},     {"DiskFull", FaultStep::kDiskFull, 10},
    {"ReadOnlyFolder", FaultStep::kReadOnlyFolder, 0},
};

std::vector<testing::Writer> Writers() { return testing::Writers(PosixDisk::kSettingsFile); }

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
