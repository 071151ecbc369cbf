// The Win32 file layer and the settings file on it, with their system calls failing on
// purpose: a failed append or replacement leaves the earlier file whole and
// no temporary behind, and the files work again once the fault is gone.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/ini_settings_store.h"
#include "platform/win32/faulty_system_calls.h"
#include "platform/win32/temp_folder.h"
#include "platform/win32/win32_file_system.h"
#include "testing/whole_file.h"

namespace velmora {
namespace {

using testing::FaultStep;

constexpr char kEarlier[] = "heading\r\nline one\r\n";
constexpr char kLine[] = "line two\r\n";
constexpr char kWhole[] = "a new file\r\nin two lines\r\n";

class Win32FileSystemFaultTest : public ::testing::Test {
 protected:
  Win32FileSystemFaultTest() { faults_.InstallInto(files_.system_calls()); }
  std::vector<std::string> Names() {
    std::vector<std::string> names = files_.ListFolder("");
    std::sort(names.begin(), names.end());
    return names;
  }
  // The file as it was before the failed operation, created without faults.
  void WriteEarlier() { ASSERT_TRUE(files_.ReplaceFile("bad.txt", kEarlier)); }

  testing::TempFolder folder_;
  Win32FileSystem files_;
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

class EveryStepTest : public Win32FileSystemFaultTest,
                      public ::testing::WithParamInterface<FaultCase> {};

TEST_P(EveryStepTest, FailedAppendIsCutBackToWholeLines) {
  const FaultCase& c = GetParam();
  WriteEarlier();
  faults_.Fail(c.step, "bad.txt", c.room);
  EXPECT_EQ(files_.AppendToFile("bad.txt", kLine), c.append_reported);
  EXPECT_EQ(files_.ReadFile("bad.txt").value(),
            c.append_written ? std::string(kEarlier) + kLine : std::string(kEarlier));
  EXPECT_EQ(Names(), std::vector<std::string>{"bad.txt"});

  faults_.Heal();
  EXPECT_TRUE(files_.AppendToFile("bad.txt", "end\r\n"));
  EXPECT_EQ(files_.ReadFile("bad.txt").value(),
            std::string(kEarlier) + (c.append_written ? kLine : "") + "end\r\n");
}

TEST_P(EveryStepTest, FailedReplacementLeavesTheEarlierFileAndNoTemporary) {
  const FaultCase& c = GetParam();
  WriteEarlier();
  faults_.Fail(c.step, "bad.txt", c.room);
  EXPECT_EQ(files_.ReplaceFile("bad.txt", kWhole), c.replace_written);
  EXPECT_EQ(files_.ReadFile("bad.txt").value(), c.replace_written ? kWhole : kEarlier);
  EXPECT_EQ(Names(), std::vector<std::string>{"bad.txt"});

  faults_.Heal();
  EXPECT_TRUE(files_.ReplaceFile("bad.txt", kWhole));
  EXPECT_EQ(files_.ReadFile("bad.txt").value(), kWhole);
}

TEST_P(EveryStepTest, FailedFirstWriteLeavesNoHalfFile) {
  const FaultCase& c = GetParam();
  faults_.Fail(c.step, "new", c.room);
  EXPECT_EQ(files_.ReplaceFile("new-whole.txt", kWhole), c.replace_written);
  EXPECT_EQ(files_.ReadFile("new-whole.txt").value_or("(none)"),
            c.replace_written ? kWhole : "(none)");
  files_.AppendToFile("new-line.txt", kLine);
  EXPECT_EQ(files_.ReadFile("new-line.txt").value_or(""),
            c.append_written && c.step != FaultStep::kReadOnlyFolder ? kLine : "");
  for (const std::string& name : Names())
    EXPECT_EQ(name.find(".velmora-tmp"), std::string::npos) << name;
}

INSTANTIATE_TEST_SUITE_P(
    Steps, EveryStepTest,
    ::testing::Values(FaultCase{"Open", FaultStep::kOpen, 0, false, false, false},
                      FaultCase{"Write", FaultStep::kWrite, 0, false, false, false},
                      FaultCase{"Flush", FaultStep::kFlush, 0, true, true, false},
                      // The data is there, but the append cannot know it.
                      FaultCase{"Close", FaultStep::kClose, 0, false, true, false},
                      FaultCase{"Move", FaultStep::kMove, 0, true, true, false},
                      FaultCase{"DiskFullAtOnce", FaultStep::kDiskFull, 0, false, false, false},
                      FaultCase{"DiskFullMidLine", FaultStep::kDiskFull, 5, false, false, false},
                      // Files in it stay writable; nothing new can be made.
                      FaultCase{"ReadOnlyFolder", FaultStep::kReadOnlyFolder, 0, true, true,
                                false}),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return info.param.name; });

TEST_F(Win32FileSystemFaultTest, NothingIsCreatedInAMissingOrReadOnlyFolder) {
  EXPECT_FALSE(files_.AppendToFile("missing\\x.txt", kLine));
  EXPECT_FALSE(files_.ReplaceFile("missing\\x.txt", kWhole));
  EXPECT_TRUE(files_.ListFolder("missing").empty());
  EXPECT_FALSE(files_.ReadFile("missing\\x.txt").has_value());

  faults_.Fail(FaultStep::kReadOnlyFolder);
  EXPECT_FALSE(files_.AppendToFile("x.txt", kLine));
  EXPECT_FALSE(files_.ReplaceFile("x.txt", kWhole));
  EXPECT_TRUE(Names().empty());
}

TEST_F(Win32FileSystemFaultTest, ReadAndListingFailuresAreEmptyResults) {
  WriteEarlier();
  SystemCalls& calls = files_.system_calls();
  calls.read_file = [](HANDLE, void*, DWORD, DWORD*) -> BOOL {
    ::SetLastError(ERROR_READ_FAULT);
    return FALSE;
  };
  EXPECT_FALSE(files_.ReadFile("bad.txt").has_value());
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_READ_FAULT));  // kept by the close
  calls.find_first_file = [](const char*, WIN32_FIND_DATAA*) {
    ::SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  };
  EXPECT_TRUE(files_.ListFolder("").empty());
  EXPECT_TRUE(files_.Exists("bad.txt"));
  calls.get_file_attributes = [](const char*) -> DWORD {
    ::SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_FILE_ATTRIBUTES;
  };
  EXPECT_FALSE(files_.Exists("bad.txt"));
}

using velmora::testing::ReadWholeFile;

constexpr char kSettingsFile[] = "Plugins\\Velmora.ini";
constexpr char kEarlierSettings[] = "[Settings]\r\nName=Anna Berg\r\nClaimed=3\r\n";

class Win32SettingsFaultTest : public ::testing::Test {
 protected:
  Win32SettingsFaultTest() { faults_.InstallInto(files_.system_calls()); }
  void SetUp() override {
    std::filesystem::create_directory("Plugins");
    std::ofstream(kSettingsFile, std::ios::binary) << kEarlierSettings;
  }
  bool NoTemporary() {
    return std::none_of(std::filesystem::directory_iterator("Plugins"),
                        std::filesystem::directory_iterator(), [](const auto& entry) {
                          return entry.path().filename() != "Velmora.ini";
                        });
  }

  testing::TempFolder folder_;
  Win32FileSystem files_;
  IniSettingsStore store_{files_, kSettingsFile};
  testing::FaultySystemCalls faults_;
};

// Whatever step fails, even a disk that fills in the middle of the file, the
// file stays as it was, every earlier key with it, and the key is written
// once the fault is gone.
TEST_F(Win32SettingsFaultTest, FailedWriteKeepsTheFileAndIsReported) {
  const std::pair<FaultStep, std::size_t> faults[] = {
      {FaultStep::kOpen, 0},  {FaultStep::kWrite, 0},     {FaultStep::kFlush, 0},
      {FaultStep::kClose, 0}, {FaultStep::kMove, 0},      {FaultStep::kDiskFull, 0},
      {FaultStep::kDiskFull, 20}, {FaultStep::kReadOnlyFolder, 0}};
  for (const auto& [step, room] : faults) {
    faults_.Fail(step, "Velmora.ini", room);
    EXPECT_FALSE(store_.Write("Claimed", "147")) << static_cast<int>(step);
    EXPECT_EQ(ReadWholeFile(kSettingsFile), kEarlierSettings);
    EXPECT_TRUE(NoTemporary());
    EXPECT_EQ(store_.Read("Claimed"), "3");
    faults_.Heal();
  }
  EXPECT_TRUE(store_.Write("Claimed", "147"));
  EXPECT_EQ(ReadWholeFile(kSettingsFile), "[Settings]\r\nName=Anna Berg\r\nClaimed=147\r\n");
}

TEST_F(Win32SettingsFaultTest, ReadOnlyFolderCreatesNothing) {
  faults_.Fail(FaultStep::kReadOnlyFolder, "Plugins");
  IniSettingsStore other(files_, "Plugins\\Other.ini");
  EXPECT_FALSE(other.Write("Claimed", "9"));
  EXPECT_FALSE(std::filesystem::exists("Plugins\\Other.ini"));
  EXPECT_TRUE(NoTemporary());
}

// A host text with line breaks neither splits its line nor adds a key.
TEST_F(Win32SettingsFaultTest, ValueWithLineBreaksStaysOnItsLine) {
  ASSERT_TRUE(store_.Write("Name", "Anna\r\n[Other]\r\nClaimed=999"));
  EXPECT_EQ(store_.Read("Claimed"), "3");
  EXPECT_EQ(store_.Read("Name"), "Anna  [Other]  Claimed=999");
  EXPECT_EQ(ReadWholeFile(kSettingsFile),
            "[Settings]\r\nName=Anna  [Other]  Claimed=999\r\nClaimed=3\r\n");
}

}  // namespace
}  // namespace velmora
