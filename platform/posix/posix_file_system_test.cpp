#include "platform/posix/posix_file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace velmora {
namespace {

class PosixFileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/velmora-fs-XXXXXX";
    dir_ = ::mkdtemp(pattern);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Path(const char* name) { return dir_ + "/" + name; }

  std::string dir_;
  PosixFileSystem fs_;
};

TEST_F(PosixFileSystemTest, AppendsReplacesAndReadsBytesUnchanged) {
  std::string name = Path("a.txt");
  EXPECT_FALSE(fs_.ReadFile(name).has_value());
  EXPECT_TRUE(fs_.AppendToFile(name, "one\r\n"));
  EXPECT_TRUE(fs_.AppendToFile(name, std::string("\xe4\0z", 3)));
  EXPECT_EQ(fs_.ReadFile(name).value(), std::string("one\r\n\xe4\0z", 8));
  EXPECT_TRUE(fs_.ReplaceFile(name, "new"));
  EXPECT_EQ(fs_.ReadFile(name).value(), "new");
  auto names = fs_.ListFolder(dir_);
  EXPECT_EQ(names, std::vector<std::string>{"a.txt"});  // no temporary left
}

TEST_F(PosixFileSystemTest, FailuresAreResultsNotCrashes) {
  EXPECT_FALSE(fs_.AppendToFile(Path("missing/x.txt"), "x"));
  EXPECT_FALSE(fs_.ReplaceFile(Path("missing/x.txt"), "x"));
  EXPECT_TRUE(fs_.ListFolder(Path("missing")).empty());
}

}  // namespace
}  // namespace velmora
