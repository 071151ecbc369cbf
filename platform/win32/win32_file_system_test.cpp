#include "platform/win32/win32_file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/win32/temp_folder.h"

namespace velmora {
namespace {

class Win32FileSystemTest : public ::testing::Test {
 protected:
  velmora::testing::TempFolder folder_;
  Win32FileSystem files_;
};

TEST_F(Win32FileSystemTest, ReplaceSwapsTheWholeFileAndLeavesNoTemporary) {
  ASSERT_TRUE(files_.AppendToFile("log.txt", "old line 1\r\nold line 2\r\n"));
  ASSERT_TRUE(files_.ReplaceFile("log.txt", "new\r\n"));
  EXPECT_EQ(files_.ReadFile("log.txt"), "new\r\n");
  ASSERT_TRUE(files_.ReplaceFile("log.txt", ""));
  EXPECT_EQ(files_.ReadFile("log.txt"), "");
  EXPECT_EQ(files_.ListFolder(""), std::vector<std::string>{"log.txt"});
}

TEST_F(Win32FileSystemTest, FailedReplaceKeepsTheEarlierFile) {
  ASSERT_TRUE(files_.AppendToFile("kept.txt", "earlier"));
  // The temporary's name is taken by a folder: nothing can be written.
  std::filesystem::create_directory("kept.txt.velmora-tmp");
  EXPECT_FALSE(files_.ReplaceFile("kept.txt", "later"));
  EXPECT_EQ(files_.ReadFile("kept.txt"), "earlier");
  // The target is a folder: the move fails and the temporary goes away.
  std::filesystem::create_directory("folder");
  EXPECT_FALSE(files_.ReplaceFile("folder", "text"));
  EXPECT_FALSE(std::filesystem::exists("folder.velmora-tmp"));
  EXPECT_FALSE(files_.ReplaceFile("missing\\file.txt", "text"));
  EXPECT_FALSE(std::filesystem::exists("missing"));
}

TEST_F(Win32FileSystemTest, AppendsReadsAndListsWithAnsiNames) {
  const std::string name = "Bad\xC4\xF5.txt";  // bytes of the ANSI code page
  ASSERT_TRUE(files_.AppendToFile(name, "a\r\n"));
  ASSERT_TRUE(files_.AppendToFile(name, "b\r\n"));
  EXPECT_EQ(files_.ReadFile(name), "a\r\nb\r\n");
  EXPECT_EQ(files_.ReadFile("missing.txt"), std::nullopt);

  std::filesystem::create_directory("sub");
  ASSERT_TRUE(files_.AppendToFile("sub\\Vemo2.ini", "Vemo=2.19\r\n"));
  std::vector<std::string> names = files_.ListFolder("");
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{name, "sub"}));
  EXPECT_EQ(files_.ListFolder("sub"), std::vector<std::string>{"Vemo2.ini"});
  EXPECT_EQ(files_.ListFolder("sub\\"), std::vector<std::string>{"Vemo2.ini"});
  EXPECT_TRUE(files_.ListFolder("missing").empty());
}

}  // namespace
}  // namespace velmora
