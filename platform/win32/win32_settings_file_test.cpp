// The settings file on the Win32 file layer, as the DLL keeps it.

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/ini_settings_store.h"
#include "platform/win32/temp_folder.h"
#include "platform/win32/win32_file_system.h"
#include "testing/whole_file.h"

namespace velmora {
namespace {

using velmora::testing::ReadWholeFile;

class Win32SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directory("Plugins"); }

  velmora::testing::TempFolder folder_;
  Win32FileSystem files_;
  IniSettingsStore store_{files_, "Plugins\\Velmora.ini"};
};

TEST_F(Win32SettingsFileTest, FirstWriteCreatesFileAndSectionUnderTheCurrentFolder) {
  EXPECT_EQ(store_.Read("Start"), "");
  ASSERT_TRUE(store_.Write("Start", "1"));
  ASSERT_TRUE(store_.Write("Claimed", "147"));
  EXPECT_EQ(ReadWholeFile(folder_.path() / "Plugins" / "Velmora.ini"),
            "[Settings]\r\nStart=1\r\nClaimed=147\r\n");
  EXPECT_EQ(store_.Read("Start"), "1");
  EXPECT_EQ(store_.Read("claimed"), "147");  // keys ignore letter case
  EXPECT_EQ(store_.Read("Missing"), "");
}

TEST_F(Win32SettingsFileTest, ReadsValuesOfAnyLengthWhole) {
  for (std::size_t length : {99u, 150u, 255u, 256u, 257u, 5000u}) {
    std::string value;
    for (std::size_t i = 0; i < length; ++i) value += static_cast<char>('a' + i % 26);
    ASSERT_TRUE(store_.Write("SoapBox", value));
    EXPECT_EQ(store_.Read("SoapBox"), value) << length << " characters";
  }
}

TEST_F(Win32SettingsFileTest, RewritesAValueInPlace) {
  ASSERT_TRUE(store_.Write("Name", "first"));
  ASSERT_TRUE(store_.Write("Call", "DL1ABC"));
  ASSERT_TRUE(store_.Write("Name", "second"));
  EXPECT_EQ(store_.Read("Name"), "second");
  EXPECT_EQ(ReadWholeFile("Plugins/Velmora.ini"), "[Settings]\r\nName=second\r\nCall=DL1ABC\r\n");
}

TEST(Win32SettingsFileMissingFolderTest, WriteFailsAndCreatesNothing) {
  velmora::testing::TempFolder folder;
  Win32FileSystem files;
  IniSettingsStore store{files, "Plugins\\Velmora.ini"};
  EXPECT_FALSE(store.Write("Start", "1"));
  EXPECT_EQ(store.Read("Start"), "");
  EXPECT_FALSE(std::filesystem::exists("Plugins"));
}

}  // namespace
}  // namespace velmora
