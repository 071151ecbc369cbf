// The module's writers on the Win32 file layer whose system calls fail on
// purpose: the bad-QSO file (append and rewrite), err.txt, the settings file
// and the Cabrillo file. Whatever fails, the QSOs stay as they would be, an
// earlier file stays whole or grows by whole lines, no temporary is left,
// only the Cabrillo export tells the operator, and once the fault is gone the
// files catch up. A twin module on the in-memory file system, spared every
// fault, says what is right.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "platform/ini_settings_store.h"
#include "platform/win32/faulty_system_calls.h"
#include "platform/win32/temp_folder.h"
#include "platform/win32/win32_file_system.h"
#include "results/cabrillo_writer.h"
#include "testing/module_fixture.h"

namespace velmora {
namespace {

using testing::At;
using testing::FaultStep;
using testing::Qso;

constexpr char kBadQsos[] = "BadQSO_StatsZEB_04_06_2017.txt";
constexpr char kSettingsFile[] = "Plugins\\Velmora.ini";
constexpr char kCabrilloFile[] = "DL1ABC.cbr";

struct DiskPlugin {
  Win32FileSystem files;
  IniSettingsStore settings{files, kSettingsFile};
  testing::FakeWindowSystem windows;
  testing::FakeHostLink host;
  Module module{Platform{files, settings, windows, host}};
};

struct TwinPlugin {
  testing::FakeFileSystem files;
  IniSettingsStore settings{files, kSettingsFile};
  testing::FakeWindowSystem windows;
  testing::FakeHostLink host;
  Module module{Platform{files, settings, windows, host}};
};

ResetArgs Reset(int export_flag) { return testing::ContestReset(export_flag); }

// A QSO on 30 m, which the contest does not use: a line in the bad-QSO file.
QsoArgs Rejected(std::string call, int minute) {
  return Qso(std::move(call), "F", "EU", At(12, minute), "30m");
}

// The stored QSOs as Cabrillo lines, dupes included.
std::string LogText(const Module& module) {
  return CabrilloFileText(CabrilloForm{}, module.LogCopy(), 0, "");
}

// Whether a file is the earlier one or the right one, or on the way from the
// one to the other by whole lines.
bool IsEarlierOrWholeLater(const std::string& now, const std::string& earlier,
                           const std::string& right) {
  if (now == earlier || now == right) return true;
  return now.starts_with(earlier) && right.starts_with(now) && now.ends_with("\r\n");
}

using Steps = std::function<void(Module&)>;

// One of the plug-in's writers: what comes before, and the host's call that
// writes `file`; faults hit the paths that contain `target`.
struct Writer {
  const char* name;
  const char* file;
  const char* target;
  std::vector<std::pair<std::string, std::string>> earlier_files;
  Steps before;
  Steps write;
};

std::vector<Writer> Writers() {
  return {
      {"BadQsoAppend", kBadQsos, "BadQSO", {},
       [](Module& m) {
         m.ResetStats(Reset(0));
         m.AddData(Rejected("R1AA", 5));
       },
       [](Module& m) {
         m.AddData(Rejected("R2BB", 6));
         m.AddData(Qso("F5ABC", "F", "EU", At(12, 7)));
         m.AddData(Qso("F5ABC", "F", "EU", At(12, 8)));  // dupe
       }},
      {"BadQsoRewrite", kBadQsos, "BadQSO", {},
       [](Module& m) {
         m.ResetStats(Reset(0));
         m.AddData(Qso("F5ABC", "F", "EU", At(12, 0)));
         m.AddData(Qso("F5ABC", "F", "EU", At(12, 1)));  // dupe
         m.AddData(Rejected("R1AA", 2));
       },
       [](Module& m) { m.RemoveData(Qso("F5ABC", "F", "EU", At(12, 1))); }},
      {"ErrFile", "err.txt", "err.txt", {{"err.txt", "from the last run\r\n"}},
       [](Module& m) { m.AddData(Qso("F5ABC", "F", "EU", At(12, 0))); },
       [](Module& m) { m.ResetStats(Reset(0)); }},
      {"Settings", kSettingsFile, "Velmora.ini",
       {{kSettingsFile, "[Settings]\r\nName=Anna Berg\r\nClaimed=3\r\n"}},
       [](Module& m) {
         m.ResetStats(Reset(0));
         m.AddData(Qso("F5ABC", "F", "EU", At(12, 0)));
         m.AddData(Qso("W1AW", "K", "NA", At(12, 1)));
       },
       [](Module& m) { m.GetResult(nullptr); }},
      {"Cabrillo", kCabrilloFile, ".cbr", {{kCabrilloFile, "START-OF-LOG: 3.0\r\nEND-OF-LOG:\r\n"}},
       [](Module& m) {
         m.ResetStats(Reset(1));
         m.AddData(Qso("F5ABC", "F", "EU", At(12, 0)));
         m.AddData(Qso("W1AW", "K", "NA", At(12, 1)));
       },
       [](Module& m) { m.GetResult(nullptr); }},
  };
}

struct Fault {
  const char* name;
  FaultStep step;
  std::size_t room;
};

void PrintTo(const Fault& fault, std::ostream* out) { *out << fault.name; }

constexpr Fault kFaults[] = {
    {"Open", FaultStep::kOpen, 0},         {"Write", FaultStep::kWrite, 0},
    {"Flush", FaultStep::kFlush, 0},       {"Close", FaultStep::kClose, 0},
    {"Move", FaultStep::kMove, 0},         {"DiskFull", FaultStep::kDiskFull, 10},
    {"ReadOnlyFolder", FaultStep::kReadOnlyFolder, 0},
};

// The disk module works in a fresh folder, made the current one.
class ModuleOnDisk : public ::testing::Test {
 protected:
  ModuleOnDisk() {
    faults_.InstallInto(disk_.files.system_calls());
    std::filesystem::create_directory("Plugins");
    std::filesystem::create_directory("host");
  }

  void Both(const Steps& steps) {
    steps(disk_.module);
    steps(twin_.module);
  }
  void Seed(const std::string& name, const std::string& text) {
    ASSERT_TRUE(disk_.files.ReplaceFile(name, text));
    twin_.files.ReplaceFile(name, text);
  }
  std::string OnDisk(const std::string& name) {
    return disk_.files.ReadFile(name).value_or("(none)");
  }
  std::string InTwin(const std::string& name) {
    return twin_.files.ReadFile(name).value_or("(none)");
  }
  // Every file the twin wrote is on disk byte for byte.
  void ExpectDiskLikeTwin() {
    for (const auto& [name, text] : twin_.files.files) EXPECT_EQ(OnDisk(name), text) << name;
  }
  void ExpectNoTemporary() {
    for (const char* folder : {"", "Plugins"})
      for (const std::string& name : disk_.files.ListFolder(folder))
        EXPECT_EQ(name.find(".velmora-tmp"), std::string::npos) << name;
  }
  std::vector<std::string> Names() {
    std::vector<std::string> names = disk_.files.ListFolder("");
    std::sort(names.begin(), names.end());
    return names;
  }

  testing::TempFolder folder_;
  DiskPlugin disk_;
  TwinPlugin twin_;
  testing::FaultySystemCalls faults_;
};

class EveryWriterTest
    : public ModuleOnDisk,
      public ::testing::WithParamInterface<std::tuple<std::size_t, Fault>> {};

TEST_P(EveryWriterTest, FailureKeepsQsosAndFilesWholeAndIsMadeGoodLater) {
  const Writer writer = Writers()[std::get<0>(GetParam())];
  const Fault fault = std::get<1>(GetParam());
  for (const auto& [name, text] : writer.earlier_files) Seed(name, text);
  Both(writer.before);
  const std::string file = writer.file;
  const std::string earlier = OnDisk(file);
  const std::size_t messages = disk_.windows.messages.size();

  faults_.Fail(fault.step, writer.target, fault.room);
  Both(writer.write);
  const std::string now = OnDisk(file);
  EXPECT_TRUE(IsEarlierOrWholeLater(now, earlier, InTwin(file))) << now;
  ExpectNoTemporary();
  EXPECT_EQ(LogText(disk_.module), LogText(twin_.module));
  std::vector<std::string> said(disk_.windows.messages.begin() + messages,
                                disk_.windows.messages.end());
  if (file == kCabrilloFile)
    EXPECT_EQ(said, std::vector<std::string>{now == earlier ? "Could not write DL1ABC.cbr"
                                                            : "File produced: DL1ABC.cbr"});
  else
    EXPECT_TRUE(said.empty());

  faults_.Heal();
  Both([](Module& m) { m.AddData(Rejected("R3CC", 30)); });
  Both(writer.write);
  ExpectDiskLikeTwin();
  EXPECT_STREQ(disk_.module.GetResult(nullptr), twin_.module.GetResult(nullptr));
}

INSTANTIATE_TEST_SUITE_P(
    WritersAndSteps, EveryWriterTest,
    ::testing::Combine(::testing::Range<std::size_t>(0, 5), ::testing::ValuesIn(kFaults)),
    [](const ::testing::TestParamInfo<std::tuple<std::size_t, Fault>>& info) {
      return std::string(Writers()[std::get<0>(info.param)].name) + "_" +
             std::get<1>(info.param).name;
    });

// A contest and an export on a disk that fills up early: every file on it is
// earlier or whole lines, the score is right, the export failure is told.
TEST_F(ModuleOnDisk, FullDiskThroughAContest) {
  Seed(kCabrilloFile, "START-OF-LOG: 3.0\r\nEND-OF-LOG:\r\n");
  faults_.Fail(FaultStep::kDiskFull, "", 300);
  Both([](Module& m) {
    m.ResetStats(Reset(1));
    const char* calls[] = {"F5ABC", "W1AW", "JA1Z", "IT9X", "F5ABC", "DL1A"};
    for (int i = 0; i < 24; ++i) {
      m.AddData(Qso(calls[i % 6], "F", "EU", At(12, i)));
      if (i % 5 == 0) m.AddData(Rejected("R" + std::to_string(i), i));
      if (i % 7 == 6) m.RemoveData(Qso(calls[(i - 2) % 6], "F", "EU", At(12, i - 2)));
    }
    m.GetResult(nullptr);
  });
  EXPECT_GT(faults_.failures(), 0);
  ExpectNoTemporary();
  EXPECT_EQ(OnDisk(kCabrilloFile), "START-OF-LOG: 3.0\r\nEND-OF-LOG:\r\n");
  for (const char* name : {kBadQsos, "err.txt", kSettingsFile}) {
    std::string text = disk_.files.ReadFile(name).value_or("");
    EXPECT_TRUE(text.empty() || text.ends_with("\r\n")) << name << ": " << text;
  }
  EXPECT_EQ(LogText(disk_.module), LogText(twin_.module));
  EXPECT_EQ(disk_.module.claimed_score(), twin_.module.claimed_score());
  EXPECT_EQ(disk_.windows.messages.back(), "Could not write DL1ABC.cbr");

  faults_.Heal();
  Both([](Module& m) {
    m.AddData(Rejected("R3CC", 50));
    m.GetResult(nullptr);
  });
  EXPECT_EQ(OnDisk(kBadQsos), InTwin(kBadQsos));
  EXPECT_EQ(OnDisk(kCabrilloFile), InTwin(kCabrilloFile));
  EXPECT_EQ(disk_.settings.Read("Claimed"), twin_.settings.Read("Claimed"));
}

// Nothing can be created in the folder: no file appears, the score is right
// and the export failure is told.
TEST_F(ModuleOnDisk, ReadOnlyFolderThroughAContest) {
  faults_.Fail(FaultStep::kReadOnlyFolder);
  Both([](Module& m) {
    m.ResetStats(Reset(1));
    m.AddData(Qso("F5ABC", "F", "EU", At(12, 0)));
    m.AddData(Qso("F5ABC", "F", "EU", At(12, 1)));
    m.AddData(Rejected("R1AA", 2));
    m.RemoveData(Qso("F5ABC", "F", "EU", At(12, 1)));
    m.GetResult(nullptr);
  });
  EXPECT_GT(faults_.failures(), 0);
  EXPECT_EQ(Names(), (std::vector<std::string>{"Plugins", "host"}));
  EXPECT_TRUE(disk_.files.ListFolder("Plugins").empty());
  EXPECT_EQ(LogText(disk_.module), LogText(twin_.module));
  EXPECT_EQ(disk_.module.claimed_score(), twin_.module.claimed_score());
  EXPECT_EQ(disk_.windows.messages.back(), "Could not write DL1ABC.cbr");
}

// Neither the settings folder nor the host's folder exists: the settings stay
// unwritten (the folder is not made) and the rest works.
TEST_F(ModuleOnDisk, MissingFolders) {
  std::filesystem::remove("Plugins");
  std::filesystem::remove("host");
  Both([](Module& m) {
    m.ResetStats(Reset(1));
    m.AddData(Qso("F5ABC", "F", "EU", At(12, 0)));
    m.AddData(Rejected("R1AA", 2));
    m.GetResult(nullptr);
  });
  EXPECT_EQ(Names(), (std::vector<std::string>{kBadQsos, kCabrilloFile, "err.txt"}));
  EXPECT_EQ(disk_.settings.Read("Claimed"), "");
  EXPECT_EQ(OnDisk(kBadQsos), InTwin(kBadQsos));
  EXPECT_EQ(disk_.module.claimed_score(), twin_.module.claimed_score());
  EXPECT_EQ(disk_.windows.messages.back(), "File produced: DL1ABC.cbr");
}

}  // namespace
}  // namespace velmora
