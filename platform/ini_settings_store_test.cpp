#include "platform/ini_settings_store.h"

#include <gtest/gtest.h>

#include "testing/fake_file_system.h"

namespace velmora {
namespace {

constexpr char kPath[] = "Plugins/Velmora.ini";

class IniSettingsStoreTest : public ::testing::Test {
 protected:
  testing::FakeFileSystem files;
  IniSettingsStore store{files, kPath};
};

TEST_F(IniSettingsStoreTest, FirstWriteCreatesFileAndSection) {
  EXPECT_EQ(store.Read("Start"), "");
  EXPECT_TRUE(store.Write("Start", "1"));
  EXPECT_EQ(files.files[kPath], "[Settings]\r\nStart=1\r\n");
  EXPECT_EQ(store.Read("Start"), "1");
}

TEST_F(IniSettingsStoreTest, NamesMatchIgnoringCaseAndOtherLinesStay) {
  files.files[kPath] =
      "; kept comment\n[Other]\nStart=9\n\n[SETTINGS]\nstart = 0 \nDXCC=1\n\n[Tail]\nx=y\n";
  EXPECT_EQ(store.Read("START"), "0");
  EXPECT_EQ(store.Read("dxcc"), "1");
  store.Write("Start", "1");
  store.Write("Name", "Jan");
  EXPECT_EQ(files.files[kPath],
            "; kept comment\r\n[Other]\r\nStart=9\r\n\r\n[SETTINGS]\r\nStart=1\r\nDXCC=1\r\n"
            "Name=Jan\r\n\r\n[Tail]\r\nx=y\r\n");
}

TEST_F(IniSettingsStoreTest, ReadsLongValuesWholeAndDropsEnclosingQuotes) {
  std::string soapbox(150, 'x');
  store.Write("SoapBox", soapbox);
  EXPECT_EQ(store.Read("SoapBox"), soapbox);
  files.files[kPath] = "[Settings]\r\nName=\"Jan Novak\"\r\n";
  EXPECT_EQ(store.Read("Name"), "Jan Novak");
}

TEST_F(IniSettingsStoreTest, AddsTheSectionToAFileWithout) {
  files.files[kPath] = "[Other]\r\na=1";
  store.Write("DXCC", "0");
  EXPECT_EQ(files.files[kPath], "[Other]\r\na=1\r\n[Settings]\r\nDXCC=0\r\n");
}

TEST_F(IniSettingsStoreTest, ALineBreakInAValueCannotAddALine) {
  store.Write("Name", "Jan\r\nStart=1\n[Other]");
  EXPECT_EQ(files.files[kPath], "[Settings]\r\nName=Jan  Start=1 [Other]\r\n");
  EXPECT_EQ(store.Read("Start"), "");
}

TEST_F(IniSettingsStoreTest, FailedWriteIsReportedAndKeepsTheFile) {
  files.files[kPath] = "[Settings]\r\nStart=0\r\n";
  files.fail_write.insert(kPath);
  EXPECT_FALSE(store.Write("Start", "1"));
  EXPECT_EQ(store.Read("Start"), "0");
}

// A file that cannot be read for the moment (held by another program) keeps
// its keys: the write fails instead of leaving a file of one key.
TEST_F(IniSettingsStoreTest, UnreadableFileIsNotReplaced) {
  files.files[kPath] = "[Settings]\r\nName=Anna\r\nCall=DL1ABC\r\n";
  files.fail_read.insert(kPath);
  EXPECT_FALSE(store.Write("Start", "1"));
  EXPECT_EQ(files.files[kPath], "[Settings]\r\nName=Anna\r\nCall=DL1ABC\r\n");
}

}  // namespace
}  // namespace velmora
