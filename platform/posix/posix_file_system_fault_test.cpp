// The file layer with its system calls failing on purpose: a failed append or
// replacement leaves the earlier file whole and no temporary behind, and the
// file system works again once the fault is gone.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "platform/posix/faulty_system_calls.h"
#include "platform/posix/posix_file_system.h"
#include "testing/temp_folder.h"

namespace velmora {
namespace {

using testing::FaultStep;

constexpr char kEarlier[] = "heading\r\nline one\r\n";
constexpr char kLine[] = "line two\r\n";
constexpr char kWhole[] = "a new file\r\nin two lines\r\n";

class PosixFileSystemFaultTest : public ::testing::Test {
 protected:
  PosixFileSystemFaultTest() { faults_.InstallInto(fs_.system_calls()); }
  void TearDown() override {
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all);
  }
  std::string Path(const char* name) const { return folder_ / name; }
  std::vector<std::string> Names() {
    std::vector<std::string> names = fs_.ListFolder(dir_);
    std::sort(names.begin(), names.end());
    return names;
  }
  // The file as it was before the failed operation, created without faults.
  void WriteEarlier() { ASSERT_TRUE(fs_.ReplaceFile(Path("bad.txt"), kEarlier)); }

  testing::TempFolder folder_;
  const std::string dir_ = folder_.path().string();
  PosixFileSystem fs_;
  testing::FaultySystemCalls faults_;
};

struct FaultCase {
  const char* name;
  FaultStep step;
  std::size_t room;      // bytes that still fit on a full disk
  bool append_reported;  // the append reports success
  bool append_written;   // the appended line is in the file
  bool replace_written;
};

void PrintTo(const FaultCase& c, std::ostream* out) { *out << c.name; }

class EveryStepTest : public PosixFileSystemFaultTest,
                      public ::testing::WithParamInterface<FaultCase> {};

TEST_P(EveryStepTest, FailedAppendLeavesTheEarlierFileWhole) {
  const FaultCase& c = GetParam();
  WriteEarlier();
  faults_.Fail(c.step, "bad.txt", c.room);
  EXPECT_EQ(fs_.AppendToFile(Path("bad.txt"), kLine), c.append_reported);
  EXPECT_EQ(fs_.ReadFile(Path("bad.txt")).value(),
            c.append_written ? std::string(kEarlier) + kLine : std::string(kEarlier));
  EXPECT_EQ(Names(), std::vector<std::string>{"bad.txt"});

  faults_.Heal();
  EXPECT_TRUE(fs_.AppendToFile(Path("bad.txt"), "end\r\n"));
  EXPECT_EQ(fs_.ReadFile(Path("bad.txt")).value(),
            std::string(kEarlier) + (c.append_written ? kLine : "") + "end\r\n");
}

TEST_P(EveryStepTest, FailedReplacementLeavesTheEarlierFileAndNoTemporary) {
  const FaultCase& c = GetParam();
  WriteEarlier();
  faults_.Fail(c.step, "bad.txt", c.room);
  EXPECT_EQ(fs_.ReplaceFile(Path("bad.txt"), kWhole), c.replace_written);
  EXPECT_EQ(fs_.ReadFile(Path("bad.txt")).value(), c.replace_written ? kWhole : kEarlier);
  EXPECT_EQ(Names(), std::vector<std::string>{"bad.txt"});

  faults_.Heal();
  EXPECT_TRUE(fs_.ReplaceFile(Path("bad.txt"), kWhole));
  EXPECT_EQ(fs_.ReadFile(Path("bad.txt")).value(), kWhole);
}

TEST_P(EveryStepTest, FailedFirstWriteLeavesNoHalfFile) {
  const FaultCase& c = GetParam();
  faults_.Fail(c.step, "/new", c.room);
  EXPECT_EQ(fs_.ReplaceFile(Path("new-whole.txt"), kWhole), c.replace_written);
  EXPECT_EQ(fs_.ReadFile(Path("new-whole.txt")).value_or("(none)"),
            c.replace_written ? kWhole : "(none)");
  fs_.AppendToFile(Path("new-line.txt"), kLine);
  EXPECT_EQ(fs_.ReadFile(Path("new-line.txt")).value_or(""),
            c.append_written && c.step != FaultStep::kReadOnlyFolder ? kLine : "");
  for (const std::string& name : Names())
    EXPECT_EQ(name.find(".velmora-tmp"), std::string::npos) << name;
}

INSTANTIATE_TEST_SUITE_P(
    Steps, EveryStepTest,
    ::testing::Values(FaultCase{"Open", FaultStep::kOpen, 0, false, false, false},
                      FaultCase{"Write", FaultStep::kWrite, 0, false, false, false},
                      FaultCase{"Fsync", FaultStep::kFsync, 0, true, true, false},
                      // The data is there, but the append cannot know it.
                      FaultCase{"Close", FaultStep::kClose, 0, false, true, false},
                      FaultCase{"Rename", FaultStep::kRename, 0, true, true, false},
                      FaultCase{"DiskFullAtOnce", FaultStep::kDiskFull, 0, false, false, false},
                      FaultCase{"DiskFullMidLine", FaultStep::kDiskFull, 5, false, false, false},
                      // Files in it stay writable; nothing new can be made.
                      FaultCase{"ReadOnlyFolder", FaultStep::kReadOnlyFolder, 0, true, true,
                                false}),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return info.param.name; });

TEST_F(PosixFileSystemFaultTest, NothingIsCreatedInAMissingOrReadOnlyFolder) {
  EXPECT_FALSE(fs_.AppendToFile(Path("missing/x.txt"), kLine));
  EXPECT_FALSE(fs_.ReplaceFile(Path("missing/x.txt"), kWhole));
  EXPECT_TRUE(fs_.ListFolder(Path("missing")).empty());
  EXPECT_FALSE(fs_.ReadFile(Path("missing/x.txt")).has_value());

  faults_.Fail(FaultStep::kReadOnlyFolder, dir_);
  EXPECT_FALSE(fs_.AppendToFile(Path("x.txt"), kLine));
  EXPECT_FALSE(fs_.ReplaceFile(Path("x.txt"), kWhole));
  EXPECT_TRUE(Names().empty());
}

// Only where permissions hold: the superuser writes into any folder.
TEST_F(PosixFileSystemFaultTest, RealReadOnlyFolderKeepsItsFiles) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  WriteEarlier();
  ASSERT_EQ(::chmod(dir_.c_str(), 0555), 0);
  EXPECT_FALSE(fs_.ReplaceFile(Path("bad.txt"), kWhole));
  EXPECT_FALSE(fs_.AppendToFile(Path("new.txt"), kLine));
  EXPECT_EQ(fs_.ReadFile(Path("bad.txt")).value(), kEarlier);
  EXPECT_EQ(Names(), std::vector<std::string>{"bad.txt"});
}

TEST_F(PosixFileSystemFaultTest, ReadAndListingFailuresAreEmptyResults) {
  WriteEarlier();
  SystemCalls& calls = fs_.system_calls();
  calls.read = [](int, void*, std::size_t) -> ssize_t {
    errno = EIO;
    return -1;
  };
  EXPECT_FALSE(fs_.ReadFile(Path("bad.txt")).has_value());
  calls.opendir = [](const char*) -> DIR* {
    errno = EACCES;
    return nullptr;
  };
  EXPECT_TRUE(fs_.ListFolder(dir_).empty());
}

TEST_F(PosixFileSystemFaultTest, InterruptedCallsAreRepeated) {
  SystemCalls& calls = fs_.system_calls();
  SystemCalls real = calls;
  int interruptions = 0;
  auto interrupt_once = [&interruptions]() {
    if (interruptions++ % 2 != 0) return false;
    errno = EINTR;
    return true;
  };
  calls.write = [&](int fd, const void* buffer, std::size_t size) -> ssize_t {
    return interrupt_once() ? -1 : real.write(fd, buffer, size);
  };
  calls.read = [&](int fd, void* buffer, std::size_t size) -> ssize_t {
    return interrupt_once() ? -1 : real.read(fd, buffer, size);
  };
  EXPECT_TRUE(fs_.ReplaceFile(Path("bad.txt"), kEarlier));
  EXPECT_TRUE(fs_.AppendToFile(Path("bad.txt"), kLine));
  EXPECT_EQ(fs_.ReadFile(Path("bad.txt")).value(), std::string(kEarlier) + kLine);
  EXPECT_GE(interruptions, 4);
}

}  // namespace
}  // namespace velmora
