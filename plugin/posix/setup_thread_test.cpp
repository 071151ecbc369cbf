// The setup window on its real thread, driven through the module as the host
// drives it, with the headless windows standing in for the screen.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "plugin/posix/headless_window_system.h"
#include "setup/module.h"
#include "testing/fake_file_system.h"
#include "testing/fake_host_link.h"
#include "testing/fake_settings_store.h"
#include "testing/module_fixture.h"

namespace velmora {
namespace {

using std::chrono::milliseconds;
using testing::ContestReset;
using Log = std::vector<std::string>;

class SetupThreadTest : public ::testing::Test {
 protected:
  SetupThreadTest() { module.emplace(Platform{files, settings, windows, host}); }

  void HostVersion(const std::string& version) {
    files.folders["host/"] = {"Vemo2.ini"};
    files.files["host/Vemo2.ini"] = "Vemo=" + version + "\r\n";
  }
  // The windows once the setup thread has handled everything posted so far.
  HeadlessSetupState State() {
    std::optional<HeadlessSetupState> state = windows.Inspect();
    EXPECT_TRUE(state.has_value()) << "no setup window";
    return state.value_or(HeadlessSetupState{});
  }
  void Refresh() { windows.PostStatusUpdate(); }
  int CheckCall() {
    CheckCallArgs ask;
    ask.call = "F5ABC";
    ask.mode = "CW";
    ask.band = "20m";
    return module->CheckCall(ask, nullptr);
  }
  long Count(const std::string& entry) {
    Log log = host.log();
    return std::count(log.begin(), log.end(), entry);
  }

  testing::FakeFileSystem files;
  testing::FakeSettingsStore settings;
  HeadlessWindowSystem windows;
  testing::FakeHostLink host;
  std::optional<Module> module;
};

TEST_F(SetupThreadTest, FirstResetOpensTheWindowAndGreetsTheHost) {
  module->ResetStats(ContestReset());
  ASSERT_TRUE(windows.SetupWindowExists());
  HeadlessSetupState s = State();
  EXPECT_EQ(s.setup.position, (WindowPoint{10, 10}));
  EXPECT_TRUE(s.setup.topmost);
  EXPECT_EQ(s.setup.title, "Setup ZEB-2017");
  EXPECT_EQ(s.view_label, "View");
  EXPECT_EQ(s.on_top_label, "Window on top");
  EXPECT_EQ(s.checks, SetupChecks{});
  EXPECT_FALSE(s.dxcc_info.exists || s.multiplier.exists);
  EXPECT_EQ(s.status_refreshes, 1);
  EXPECT_EQ(host.macros(), (Log{"<MODE:CW>", "<BAUDRATE:27>"}));
  EXPECT_EQ(settings.Read("Start"), "1");
}

TEST_F(SetupThreadTest, RussianOperatorsGetTheRussianTexts) {
  ResetArgs ua = ContestReset();
  ua.own_prefix = "UA";
  module->ResetStats(ua);
  HeadlessSetupState s = State();
  EXPECT_EQ(s.setup.title, "\xD3\xF1\xF2\xE0\xED\xEE\xE2\xEA\xE8 ZEB-2017");
  EXPECT_EQ(s.view_label, "\xCE\xF2\xEE\xE1\xF0\xE0\xE6\xE0\xF2\xFC");
  EXPECT_EQ(s.on_top_label, "\xCF\xEE\xE2\xE5\xF0\xF5 \xEE\xEA\xEE\xED");
}

TEST_F(SetupThreadTest, StartToggleOpensTheWindowEveryOtherReset) {
  module->ResetStats(ContestReset());
  module->ResetStats(ContestReset());
  EXPECT_EQ(settings.Read("Start"), "0");
  module->ResetStats(ContestReset());  // the window is open: nothing changes
  EXPECT_EQ(settings.Read("Start"), "0");
  EXPECT_EQ(windows.setup_starts(), 1);
  EXPECT_EQ(State().setup.openings, 1);

  ASSERT_TRUE(windows.PressEscape());
  EXPECT_FALSE(windows.SetupWindowExists());
  module->ResetStats(ContestReset());
  EXPECT_EQ(windows.setup_starts(), 2);
  EXPECT_EQ(settings.Read("Start"), "1");
  EXPECT_EQ(Count("Attach"), 2);
}

TEST_F(SetupThreadTest, ExportResetsAndHostsWithTheirOwnSetupOpenNothing) {
  module->ResetStats(ContestReset(1));
  EXPECT_EQ(settings.Read("Start"), "0");
  for (const char* version : {"2.14R", "2.16"}) {
    HostVersion(version);
    module->ResetStats(ContestReset());
    EXPECT_EQ(settings.Read("Start"), "1");
    module->ResetStats(ContestReset());
    EXPECT_EQ(settings.Read("Start"), "0");
  }
  EXPECT_EQ(windows.setup_starts(), 0);
  EXPECT_FALSE(windows.SetupWindowExists());
}

TEST_F(SetupThreadTest, StartingOverAnOpenWindowReplacesIt) {
  settings.values["DXCC"] = "1";
  module->ResetStats(ContestReset());
  EXPECT_TRUE(State().dxcc_info.exists);
  windows.StartSetupThread();
  HeadlessSetupState s = State();
  EXPECT_EQ(windows.setup_starts(), 2);
  EXPECT_EQ(s.setup.openings, 1);  // a new window
  EXPECT_TRUE(s.dxcc_info.exists);
  EXPECT_EQ(settings.Read("DXCC"), "1");
}

TEST_F(SetupThreadTest, OptionClicksOpenCloseAndWriteTheirKeys) {
  module->ResetStats(ContestReset());
  windows.Click(SetupBox::kDxcc);
  HeadlessSetupState s = State();
  EXPECT_TRUE(s.dxcc_info.visible);
  EXPECT_EQ(s.dxcc_info.position, (WindowPoint{10, 400}));
  EXPECT_TRUE(s.checks.dxcc);
  EXPECT_EQ(settings.Read("DXCC"), "1");
  windows.Click(SetupBox::kDxcc);
  EXPECT_FALSE(State().dxcc_info.exists);
  EXPECT_EQ(settings.Read("DXCC"), "0");

  windows.Click(SetupBox::kExtended);
  EXPECT_EQ(settings.Read("setup_view_dxcc_extended"), "1");
  EXPECT_FALSE(State().multiplier.topmost);
  // On top: the open tool windows close and the refresh reopens them.
  windows.Click(SetupBox::kOnTop);
  s = State();
  EXPECT_EQ(settings.Read("setup_window_on_top"), "1");
  EXPECT_EQ(s.checks, (SetupChecks{false, true, true}));
  EXPECT_EQ(s.multiplier.openings, 2);
  EXPECT_TRUE(s.multiplier.visible && s.multiplier.topmost);
  EXPECT_FALSE(s.dxcc_info.exists);
  windows.Click(SetupBox::kDxcc);
  EXPECT_TRUE(State().dxcc_info.topmost);
}

TEST_F(SetupThreadTest, ADismissedToolWindowSwitchesItsOptionOff) {
  settings.values = {{"DXCC", "1"}, {"setup_view_dxcc_extended", "1"}};
  module->ResetStats(ContestReset());
  HeadlessSetupState s = State();
  ASSERT_TRUE(s.dxcc_info.visible && s.multiplier.visible);
  EXPECT_EQ(s.checks, (SetupChecks{true, true, false}));
  windows.Dismiss(WindowKind::kMultiplier);
  Refresh();
  s = State();
  EXPECT_FALSE(s.multiplier.exists);
  EXPECT_EQ(s.checks, (SetupChecks{true, false, false}));
  EXPECT_EQ(settings.Read("setup_view_dxcc_extended"), "0");
  EXPECT_EQ(settings.Read("DXCC"), "1");
}

TEST_F(SetupThreadTest, ToolWindowsStoredOnComeBackAtTheNextOpening) {
  settings.values["DXCC"] = "1";
  module->ResetStats(ContestReset());
  EXPECT_TRUE(State().dxcc_info.visible);
  ASSERT_TRUE(windows.PressEscape());
  module->ResetStats(ContestReset());  // "Start" 1 -> 0
  module->ResetStats(ContestReset());
  HeadlessSetupState s = State();
  EXPECT_TRUE(s.dxcc_info.visible);
  EXPECT_TRUE(s.checks.dxcc);
  EXPECT_EQ(std::count(settings.writes.begin(), settings.writes.end(), "DXCC=0"), 0);
}

TEST_F(SetupThreadTest, CheckCallPostsOneRefreshUntilTheRefreshHasRun) {
  module->ResetStats(ContestReset());
  EXPECT_EQ(State().status_refreshes, 1);
  host.Hold();  // the refresh waits in the host
  CheckCall();
  CheckCall();
  CheckCall();
  EXPECT_EQ(windows.status_updates(), 1);
  EXPECT_FALSE(module->update_ready());
  host.Release();
  EXPECT_EQ(State().status_refreshes, 2);
  EXPECT_TRUE(module->update_ready());
  CheckCall();
  EXPECT_EQ(State().status_refreshes, 3);
}

TEST_F(SetupThreadTest, AFailingHostCallEndsTheRefreshQuietly) {
  module->setup_controller().SetReattachPause(std::chrono::hours(1));
  module->ResetStats(ContestReset());
  State();
  host.Fail("EntryText");
  CheckCall();
  State();
  EXPECT_TRUE(module->update_ready());
  EXPECT_FALSE(host.IsAttached());
  EXPECT_TRUE(windows.messages().empty());
  host.ClearLog();
  Refresh();  // no host link now, and the pause has not passed: nothing is asked
  State();
  EXPECT_TRUE(host.log().empty());
  // The next opening attaches again and greets the host.
  ASSERT_TRUE(windows.PressEscape());
  module->ResetStats(ContestReset());
  module->ResetStats(ContestReset());
  State();
  EXPECT_EQ(host.log(), (Log{"Attach", "SendMacro <MODE:CW>", "SendMacro <BAUDRATE:27>",
                             "EntryText 5", "Drop"}));
}

// A host that failed is looked up again by the refreshes once the pause has
// passed, greeted again, and followed from that same refresh on.
TEST_F(SetupThreadTest, RefreshesAttachAgainToAHostThatFailed) {
  module->setup_controller().SetReattachPause(milliseconds(0));
  module->ResetStats(ContestReset());
  State();
  host.Fail("Frequency");
  CheckCall();
  State();
  EXPECT_FALSE(host.IsAttached());
  EXPECT_TRUE(module->update_ready());
  host.SetRunning(false);  // the host restarts
  host.ClearLog();
  CheckCall();
  State();
  EXPECT_EQ(host.log(), Log{"Attach"});
  EXPECT_TRUE(module->update_ready());
  host.SetRunning(true);  // back, answering everything
  host.FailNothing();
  host.ClearLog();
  host.Serve("OK1AB", 7'010'000);
  CheckCall();
  State();
  EXPECT_EQ(host.log(), (Log{"Attach", "SendMacro <MODE:CW>", "SendMacro <BAUDRATE:27>",
                             "EntryText 5", "Frequency", "SendMacro <SP1>"}));
  EXPECT_EQ(module->setup_controller().current_call(), "OK1AB");
  EXPECT_EQ(module->dxcc_display().band_index(), 2);
  host.ClearLog();
  CheckCall();
  State();
  EXPECT_EQ(host.log(), (Log{"EntryText 5", "Frequency"}));  // attached: no lookup
}

// Records what the DXCC part of each refresh was given.
struct RecordingDxccRefresh : DxccRefresh {
  void TakeCall(const std::string& call) override { seen.push_back("take " + call); }
  void Refresh(const std::string& call, double hz, ToolWindow*, ToolWindow*) override {
    seen.push_back(call + "@" + std::to_string(static_cast<long>(hz)));
  }
  Log seen;
};

TEST_F(SetupThreadTest, RefreshReadsCallAndFrequencyAndSignalsMovesOver300Hz) {
  RecordingDxccRefresh dxcc;
  module->setup_controller().SetDxccRefresh(&dxcc);
  module->ResetStats(ContestReset());
  State();
  auto refresh_at = [&](std::string call, double hz) {
    host.ClearLog();
    host.Serve(std::move(call), hz);
    Refresh();
    State();
    return host.log();
  };
  EXPECT_EQ(refresh_at("", 14025000),
            (Log{"EntryText 5", "Frequency", "SendMacro <SP1>"}));
  EXPECT_EQ(module->setup_controller().current_call(), "");
  EXPECT_EQ(refresh_at("F5ABC", 14025300), (Log{"EntryText 5", "Frequency"}));
  EXPECT_EQ(refresh_at("F5", 14025301), (Log{"EntryText 5"}));  // still typing
  EXPECT_EQ(refresh_at("F5ABC", 14025301),
            (Log{"EntryText 5", "Frequency", "SendMacro <SP1>"}));
  EXPECT_EQ(refresh_at("F5ABC", 14025301), (Log{"EntryText 5", "Frequency"}));
  EXPECT_EQ(module->setup_controller().current_call(), "F5ABC");
  EXPECT_EQ(dxcc.seen, (Log{"@0", "@14025000", "F5ABC@14025300", "take F5", "F5ABC@14025301",
                            "F5ABC@14025301"}));
}

// The info button draws from a call of one or two characters too: after an
// empty call field it no longer draws the band's list.
TEST_F(SetupThreadTest, AShortCallBecomesTheCallTheInfoButtonDraws) {
  module->ResetStats(ContestReset());
  host.Serve("", 14'025'000);
  Refresh();
  State();
  host.Serve("OK", 14'025'000);
  Refresh();
  State();
  EXPECT_EQ(module->setup_controller().current_call(), "OK");
  InfoButtonInput drawn = module->dxcc_display().ButtonInput({0, 0, 300, 140});
  EXPECT_EQ(drawn.current_call, "OK");
  EXPECT_EQ(drawn.band_index, 3);
}

TEST_F(SetupThreadTest, PointerOverAMovedWindowSavesItsPositionOnce) {
  module->ResetStats(ContestReset());
  windows.MoveWindow(WindowKind::kSetup, {120, 10});
  windows.PointerOver(WindowKind::kSetup);
  windows.PointerOver(WindowKind::kSetup);
  State();
  EXPECT_EQ(settings.Read("Setup_x"), "120");
  EXPECT_EQ(std::count(settings.writes.begin(), settings.writes.end(), "Setup_x=120"), 1);
  EXPECT_EQ(settings.Read("Setup_y"), "");
}

TEST_F(SetupThreadTest, UnloadingWithAllWindowsOpenIsPromptAndKeepsTheOptions) {
  settings.values = {{"DXCC", "1"}, {"setup_view_dxcc_extended", "1"}};
  module->ResetStats(ContestReset());
  HeadlessSetupState s = State();
  ASSERT_TRUE(s.dxcc_info.visible && s.multiplier.visible);
  const std::size_t writes = settings.writes.size();
  auto start = std::chrono::steady_clock::now();
  module.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - start, milliseconds(1000));
  EXPECT_FALSE(windows.SetupWindowExists());
  EXPECT_EQ(settings.writes.size(), writes);
  EXPECT_EQ(settings.Read("DXCC"), "1");
  EXPECT_EQ(settings.Read("setup_view_dxcc_extended"), "1");
}

TEST_F(SetupThreadTest, WithoutTheHostEverythingElseWorks) {
  host.SetRunning(false);
  module->ResetStats(ContestReset());
  windows.Click(SetupBox::kExtended);
  CheckCall();
  HeadlessSetupState s = State();
  EXPECT_EQ(s.setup.title, "Setup ZEB-2017");
  EXPECT_TRUE(s.multiplier.visible);
  EXPECT_TRUE(module->update_ready());
  EXPECT_EQ(host.log(), Log{"Attach"});
}

// The refresh's DXCC part: after a few QSOs and a refresh at 14 025 000 Hz the
// multiplier window names the band and ticks exactly the worked entities.
TEST_F(SetupThreadTest, RefreshTicksTheEntitiesWorkedOnTheBand) {
  settings.values = {{"DXCC", "1"}, {"setup_view_dxcc_extended", "1"}};
  module->ResetStats(ContestReset());
  module->AddData(testing::Qso("F5ABC", "F", "EU", testing::At(12, 0)));
  module->AddData(testing::Qso("UA2FF", "UA2/f", "EU", testing::At(12, 1)));
  module->AddData(testing::Qso("SU1AA", "SU", "AF", testing::At(12, 2)));
  module->AddData(testing::Qso("W1AW", "K", "NA", testing::At(12, 3), "40m"));
  module->GetResult(nullptr);
  host.Serve("", 14'025'000);
  Refresh();
  HeadlessSetupState s = State();
  EXPECT_EQ(s.multiplier.title, "ZEB-2017 DXCC worked on 20m 3 of 338");
  int ticked = 0;
  for (const auto& page : s.multiplier.pages)
    for (int box : page) ticked += box;
  EXPECT_EQ(ticked, 4);  // F, UA2 (from UA2/f), and SU on the AF and AS pages
  EXPECT_GE(s.dxcc_info.button_repaints, 1);

  host.Serve("F5ABC", 14'025'000);
  Refresh();
  State();
  BandLists lists = module->ListsCopy();
  EXPECT_EQ(lists.BandRows[3][2], "12:00");  // the call view: time on 20 m
  EXPECT_EQ(module->dxcc_display().ButtonInput({}).current_call, "F5ABC");
}

}  // namespace
}  // namespace velmora
