// Many files replaced in one batch: all of them or, where a step fails, every
// other one, the failed ones left as they were and no temporary behind.

#include "platform/posix/replace_batch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "platform/posix/faulty_system_calls.h"
#include "testing/temp_folder.h"

namespace velmora {
namespace {

using testing::FaultStep;

class ReplaceBatchTest : public ::testing::Test {
 protected:
  ReplaceBatchTest() {
    std::filesystem::create_directory(folder_.path() / "sub");
    faults_.InstallInto(fs_.system_calls());
    for (const char* name : {"a.txt", "bad.txt", "sub/c.txt"}) fs_.ReplaceFile(Path(name), "old");
  }
  std::string Path(const std::string& name) const { return folder_ / name; }
  std::string Text(const char* name) { return fs_.ReadFile(Path(name)).value_or("(none)"); }
  // Adds a new text for every file and commits; the names that failed.
  std::vector<std::string> ReplaceAll(ReplaceBatch& batch) {
    for (const char* name : {"a.txt", "bad.txt", "sub/c.txt", "sub/new.txt"})
      batch.Add(Path(name), std::string("new ") + name);
    return batch.Commit();
  }
  std::vector<std::string> Temporaries() {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder_.path()))
      if (entry.path().string().ends_with(".velmora-tmp")) found.push_back(entry.path());
    return found;
  }

  testing::TempFolder folder_;
  PosixFileSystem fs_;
  testing::FaultySystemCalls faults_;
};

TEST_F(ReplaceBatchTest, ReplacesEveryFileInEveryFolderWithOneFlush) {
  int whole_flushes = 0, file_flushes = 0;
  SystemCalls& calls = fs_.system_calls();
  const SystemCalls real = calls;
  calls.syncfs = [&](int fd) { return ++whole_flushes, real.syncfs(fd); };
  calls.fsync = [&](int fd) { return ++file_flushes, real.fsync(fd); };
  ReplaceBatch batch(fs_);
  EXPECT_TRUE(ReplaceAll(batch).empty());
  EXPECT_EQ(Text("a.txt"), "new a.txt");
  EXPECT_EQ(Text("sub/c.txt"), "new sub/c.txt");
  EXPECT_EQ(Text("sub/new.txt"), "new sub/new.txt");
  EXPECT_TRUE(Temporaries().empty());
  EXPECT_EQ(whole_flushes, 2);  // once from each folder
  EXPECT_EQ(file_flushes, 2);   // the folders, for the renames
}

// Where the file system cannot be flushed whole, each file is flushed on its
// own, and one that fails there or at its rename stays as it was.
TEST_F(ReplaceBatchTest, AFailedFileLeavesTheOthersReplaced) {
  fs_.system_calls().syncfs = [](int) {
    errno = ENOSYS;
    return -1;
  };
  for (FaultStep step : {FaultStep::kNone, FaultStep::kFsync, FaultStep::kRename}) {
    SCOPED_TRACE(static_cast<int>(step));
    faults_.Fail(step, "bad.txt");
    ReplaceBatch batch(fs_);
    const std::vector<std::string> failed = ReplaceAll(batch);
    const bool fails = step != FaultStep::kNone;
    EXPECT_EQ(failed, fails ? std::vector<std::string>{Path("bad.txt")} : std::vector<std::string>{});
    EXPECT_EQ(Text("bad.txt"), fails ? "old" : "new bad.txt");
    EXPECT_EQ(Text("sub/c.txt"), "new sub/c.txt");
    EXPECT_TRUE(Temporaries().empty());
    fs_.ReplaceFile(Path("bad.txt"), "old");
  }
}

TEST_F(ReplaceBatchTest, UnwrittenOrUncommittedFilesLeaveNoTrace) {
  {
    faults_.Fail(FaultStep::kDiskFull, "bad.txt", 2);
    ReplaceBatch batch(fs_);
    EXPECT_FALSE(batch.Add(Path("bad.txt"), "new"));
    EXPECT_TRUE(batch.Add(Path("a.txt"), "new"));
    EXPECT_EQ(Temporaries().size(), 1u);
  }  // never committed
  EXPECT_TRUE(Temporaries().empty());
  EXPECT_EQ(Text("a.txt"), "old");
  EXPECT_EQ(Text("bad.txt"), "old");

  faults_.Heal();
  ReplaceBatch batch(fs_);
  EXPECT_FALSE(batch.Add(Path("missing/x.txt"), "new"));
  EXPECT_TRUE(batch.Commit().empty());
}

TEST_F(ReplaceBatchTest, AFolderThatCannotBeFlushedNamesItsFiles) {
  SystemCalls& calls = fs_.system_calls();
  const SystemCalls real = calls;
  const std::string sub = Path("sub");
  int sub_fd = -1;
  calls.open = [&](const char* path, int flags, mode_t mode) {
    const int fd = real.open(path, flags, mode);
    if (path == sub) sub_fd = fd;
    return fd;
  };
  calls.fsync = [&](int fd) {
    if (fd != sub_fd) return real.fsync(fd);
    errno = EIO;
    return -1;
  };
  ReplaceBatch batch(fs_);
  EXPECT_EQ(ReplaceAll(batch), (std::vector<std::string>{Path("sub/c.txt"), Path("sub/new.txt")}));
  EXPECT_EQ(Text("a.txt"), "new a.txt");
}

}  // namespace
}  // namespace velmora
