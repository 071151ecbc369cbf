#pragma once

// The module's writers on a real file system whose system calls fail on
// purpose, beside a twin module on the in-memory file system, spared every
// fault, that says what is right. The writers are the bad-QSO file (append
// and rewrite), err.txt, the settings file and the Cabrillo file. Shared by
// the POSIX and the Win32 fault tests; `Disk` names a platform's parts:
//   Files          its file system, with system_calls()
//   Faults         its fault double: InstallInto, Fail, Heal, failures()
//   Step           its fault steps, with kDiskFull and kReadOnlyFolder
//   Place          made first: a fresh folder, the current one
//   kSettingsFile  the settings file's name there

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "platform/ini_settings_store.h"
#include "results/bad_qso_file.h"
#include "results/cabrillo_writer.h"
#include "testing/module_fixture.h"

namespace velmora::testing {

inline constexpr char kBadQsos[] = "BadQSO_StatsZEB_04_06_2017.txt";
inline constexpr char kCabrilloFile[] = "DL1ABC.cbr";

// A QSO on 30 m, which the contest does not use: a line in the bad-QSO file.
inline QsoArgs Rejected(std::string call, int minute) {
  return Qso(std::move(call), "F", "EU", At(12, minute), "30m");
}

// The stored QSOs as Cabrillo lines, dupes included.
inline std::string LogText(const Module& module) {
  return CabrilloFileText(CabrilloForm{}, module.LogCopy(), 0, "");
}

// Whether a file is the earlier one or the right one, or on the way from the
// one to the other by whole lines: appends that were written although their
// file could not be closed.
inline bool IsEarlierOrWholeLater(const std::string& now, const std::string& earlier,
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

inline std::vector<Writer> Writers(const char* settings_file) {
  return {
      {"BadQsoAppend", kBadQsos, "BadQSO", {},
       [](Module& m) {
         m.ResetStats(ContestReset(0));
         m.AddData(Rejected("R1AA", 5));
       },
       [](Module& m) {
         m.AddData(Rejected("R2BB", 6));
         m.AddData(Qso("F5ABC", "F", "EU", At(12, 7)));
         m.AddData(Qso("F5ABC", "F", "EU", At(12, 8)));  // dupe
       }},
      {"BadQsoRewrite", kBadQsos, "BadQSO", {},
       [](Module& m) {
         m.ResetStats(ContestReset(0));
         m.AddData(Qso("F5ABC", "F", "EU", At(12, 0)));
         m.AddData(Qso("F5ABC", "F", "EU", At(12, 1)));  // dupe
         m.AddData(Rejected("R1AA", 2));
       },
       [](Module& m) { m.RemoveData(Qso("F5ABC", "F", "EU", At(12, 1))); }},
      {"ErrFile", "err.txt", "err.txt", {{"err.txt", "from the last run\r\n"}},
       [](Module& m) { m.AddData(Qso("F5ABC", "F", "EU", At(12, 0))); },
       [](Module& m) { m.ResetStats(ContestReset(0)); }},
      {"Settings", settings_file, "Velmora.ini",
       {{settings_file, "; kept\r\n[Settings]\r\nName=Anna Berg\r\nClaimed=3\r\n"}},
       [](Module& m) {
         m.ResetStats(ContestReset(0));
         m.AddData(Qso("F5ABC", "F", "EU", At(12, 0)));
         m.AddData(Qso("W1AW", "K", "NA", At(12, 1)));
       },
       [](Module& m) { m.GetResult(nullptr); }},
      {"Cabrillo", kCabrilloFile, ".cbr", {{kCabrilloFile, "START-OF-LOG: 3.0\r\nEND-OF-LOG:\r\n"}},
       [](Module& m) {
         m.ResetStats(ContestReset(1));
         m.AddData(Qso("F5ABC", "F", "EU", At(12, 0)));
         m.AddData(Qso("W1AW", "K", "NA", At(12, 1)));
       },
       [](Module& m) { m.GetResult(nullptr); }},
  };
}

// A fault at one step of every file operation; `room` bytes fit on a disk
// that fills up.
template <typename Step>
struct Fault {
  const char* name;
  Step step;
  std::size_t room;
};

template <typename Step>
void PrintTo(const Fault<Step>& fault, std::ostream* out) {
  *out << fault.name;
}

// A module with the plug-in's settings file on `Files`.
template <typename Files>
struct Plugin {
  explicit Plugin(const char* settings_file) : settings(files, settings_file) {}
  Files files;
  IniSettingsStore settings;
  FakeWindowSystem windows;
  FakeHostLink host;
  Module module{Platform{files, settings, windows, host}};
};

template <typename Disk>
class ModuleOnDisk : public ::testing::Test {
 protected:
  ModuleOnDisk() {
    faults_.InstallInto(disk_.files.system_calls());
    std::filesystem::create_directory("Plugins");
    std::filesystem::create_directory("host");
  }

  // One writer failed at one step: the QSOs as the twin's, the file earlier
  // or whole lines later, no temporary, only the Cabrillo export tells; once
  // the fault is gone, every file as the twin's.
  void WriteThrough(const Writer& writer, const Fault<typename Disk::Step>& fault) {
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
    EXPECT_EQ(disk_.settings.Read("Claimed"), twin_.settings.Read("Claimed"));
    EXPECT_STREQ(disk_.module.GetResult(nullptr), twin_.module.GetResult(nullptr));
  }

  // A contest and an export on a disk that fills up early: every file on it
  // is earlier or whole lines, the score is right, the export failure is
  // told; once there is room again, the bad-QSO and Cabrillo files catch up.
  void FullDiskThroughAContest() {
    Seed(kCabrilloFile, "START-OF-LOG: 3.0\r\nEND-OF-LOG:\r\n");
    faults_.Fail(Disk::Step::kDiskFull, "", 300);
    Both([](Module& m) {
      m.ResetStats(ContestReset(1));
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
    for (const char* name : {kBadQsos, Disk::kSettingsFile, "err.txt"}) {
      std::string text = disk_.files.ReadFile(name).value_or("");
      EXPECT_TRUE(text.empty() || text.ends_with("\r\n")) << name << ": " << text;
    }
    const std::string bad = disk_.files.ReadFile(kBadQsos).value_or("");
    EXPECT_TRUE(bad.empty() || bad.starts_with(kUbnHeading)) << bad;
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

  // Nothing can be created in the folder: no file appears, the score is
  // right and the export failure is told.
  void ReadOnlyFolderThroughAContest() {
    faults_.Fail(Disk::Step::kReadOnlyFolder, "", 0);
    Both([](Module& m) {
      m.ResetStats(ContestReset(1));
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

  // Neither the settings folder nor the host's folder exists: the settings
  // stay unwritten (the folder is not made) and the rest works.
  void MissingFolders() {
    std::filesystem::remove("Plugins");
    std::filesystem::remove("host");
    Both([](Module& m) {
      m.ResetStats(ContestReset(1));
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

 private:
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
  // The names (and folders) in the current folder.
  std::vector<std::string> Names() {
    std::vector<std::string> names = disk_.files.ListFolder("");
    std::sort(names.begin(), names.end());
    return names;
  }

  typename Disk::Place place_;
  Plugin<typename Disk::Files> disk_{Disk::kSettingsFile};
  Plugin<FakeFileSystem> twin_{Disk::kSettingsFile};
  typename Disk::Faults faults_;
};

}  // namespace velmora::testing
