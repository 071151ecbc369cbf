// The DLL inside a long contest, as the host logger keeps it: a whole log
// handed over after every reset, a status refresh for every call the
// operator types, result requests, removals and re-adds, and both tool
// windows open and redrawing, reopened again and again. The process's GDI
// and USER objects, kernel handles, private bytes and threads are read at
// checkpoints and must stay flat after the first one; the result must equal
// a replay of the host's final log through the core.
//
// ShortSoak() by default; VELMORA_SOAK=full runs FullSoak() (scripts/soak.sh).

#include <gtest/gtest.h>

#include <objbase.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "testing/win32/host_simulator/fake_host_application.h"
#include "testing/win32/host_simulator/plugin_windows.h"
#include "testing/win32/host_simulator/process_resources.h"
#include "testing/win32/host_simulator/soak_host.h"
#include "testing/win32/host_simulator/soak_plan.h"
#include "testing/win32/host_simulator/unmanaged_windows.h"
#include "testing/win32/host_simulator/velmora_library.h"
#include "platform/win32/temp_folder.h"
#include "resources/resource_ids.h"

namespace velmora::testing {
namespace {

// Allowed change of each figure against the first checkpoint after the
// first segment. GDI and USER objects, and threads, must not change at all.
constexpr long kHandleMargin = 4;
constexpr std::size_t kPrivateBytesMargin = 4u << 20;

constexpr unsigned long kPatience = 20000;

[[maybe_unused]] const auto* const kUnmanaged =
    ::testing::AddGlobalTestEnvironment(new UnmanagedWindows);

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

bool IsTopmost(HWND window) {
  return (::GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

std::string Row(int checkpoint, const ProcessResources& r) {
  char row[160];
  std::snprintf(row, sizeof row, "| %d | %ld | %ld | %ld | %.1f MB | %d |", checkpoint,
                r.gdi_objects, r.user_objects, r.kernel_handles,
                static_cast<double>(r.private_bytes) / (1 << 20), r.threads);
  return row;
}

class SoakTest : public ::testing::Test {
 protected:
  SoakTest() {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::filesystem::create_directory(folder_.path() / "Plugins");
    ::WritePrivateProfileStringA("Settings", "DXCC", "1", ".\\Plugins\\Velmora.ini");
    ::WritePrivateProfileStringA("Settings", "setup_view_dxcc_extended", "1",
                                 ".\\Plugins\\Velmora.ini");
  }
  ~SoakTest() override { library_.reset(); }  // before the automation object goes

  void TearDown() override {
    if (HasFailure()) folder_.Keep();
  }

  void Start() {
    ASSERT_TRUE(automation_.Register(VELMORA_TEST_CLSID));
    library_.emplace();
    ASSERT_TRUE(library_->loaded()) << "LoadLibrary error " << library_->load_error();
    host_.emplace(library_->plain(), contest_);
    host_->Log(plan_.qsos);
    host_->HandOver();
    ASSERT_TRUE(PumpUntil(
        [&] { return (setup_ = FindPluginWindow(PluginWindow::kSetup)) != nullptr; },
        kPatience));
    ASSERT_TRUE(WindowsOpen(false));
  }

  // The operator types a call: the host shows it and its frequency, and call
  // checks come in until a status refresh has read both from the host.
  bool TypeAndRefresh(int n) {
    const SoakContest::Typed typed = contest_.Typing(n);
    automation_.SetEntryText(Wide(typed.call));
    automation_.SetFrequency(typed.frequency_hz);
    const std::size_t asked = automation_.entry_requests();
    const int calls = automation_.calls();
    const auto refreshed = [&] {
      ++call_checks_;
      host_->CheckCall(typed);
      return automation_.entry_requests() > asked && automation_.calls() >= calls + 2;
    };
    if (!PumpUntil(refreshed, kPatience)) return false;
    Redraw(RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return true;
  }

  void Redraw(UINT how) {
    for (PluginWindow which : {PluginWindow::kDxccInfo, PluginWindow::kMultiplier})
      if (HWND window = FindPluginWindow(which)) ::RedrawWindow(window, nullptr, nullptr, how);
  }

  // Both tool windows shown, topmost as the option says, neither of them
  // one of `gone`.
  bool WindowsOpen(bool on_top, std::vector<HWND> gone = {}) {
    return PumpUntil(
        [&] {
          for (PluginWindow which : {PluginWindow::kDxccInfo, PluginWindow::kMultiplier}) {
            HWND window = FindPluginWindow(which);
            if (!window || !::IsWindowVisible(window) || IsTopmost(window) != on_top)
              return false;
            for (HWND old : gone)
              if (window == old) return false;
          }
          return true;
        },
        kPatience);
  }

  // The on-top option toggled: both tool windows close and open again.
  bool Reopen() {
    const std::vector<HWND> before{FindPluginWindow(PluginWindow::kDxccInfo),
                                   FindPluginWindow(PluginWindow::kMultiplier)};
    ::PostMessageA(::GetDlgItem(setup_, IDC_SETUP_ON_TOP), BM_CLICK, 0, 0);
    on_top_ = !on_top_;
    return WindowsOpen(on_top_, before);
  }

  // The requests of the first segment get the text, later ones the page
  // (the host announces its version once). Each text is held to a replay of
  // the host's log; the replays' memory is taken before the first
  // checkpoint that counts.
  void RequestResult(int segment) {
    ++results_;
    if (segment == 1 && !page_) {
      host_->AnnounceVersion();
      page_ = true;
    }
    const std::string result = host_->Result();
    if (!page_) {
      EXPECT_EQ(result, ReplayThroughCore(host_->log(), false)) << "result " << results_;
    }
  }

  // The resources once every window has painted and the setup thread waits
  // for its next message.
  ProcessResources Settled() {
    Redraw(RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutA(setup_, WM_NULL, 0, 0, SMTO_NORMAL, kPatience, &answer);
    PumpFor(100);
    automation_.ClearRecords();
    return ReadProcessResources();
  }

  // One segment: its share of every kind of work, spread over its refreshes.
  void RunSegment(int segment) {
    const SoakPlan& p = plan_;
    const int refreshes = p.refreshes / p.segments;
    const auto due = [&](int step, int total) {
      const long long share = total / p.segments;
      return (step + 1) * share / refreshes > step * share / refreshes;
    };
    for (int step = 0; step < refreshes; ++step) {
      ASSERT_TRUE(TypeAndRefresh(segment * refreshes + step)) << "refresh " << step;
      if (due(step, p.removals)) host_->RemoveAndAddAgain();
      if (due(step, p.reopenings)) {
        ASSERT_TRUE(Reopen()) << "reopening at " << step;
      }
      if (due(step, p.results)) RequestResult(segment);
      if (due(step, p.resets)) host_->HandOver();
    }
  }

  const SoakPlan plan_ = ChosenSoak();
  TempFolder folder_;
  FakeHostApplication automation_;
  std::optional<VelmoraLibrary> library_;
  SoakContest contest_;
  std::optional<SoakHost> host_;
  HWND setup_ = nullptr;
  bool on_top_ = false;
  bool page_ = false;  // the DLL answers with the page
  int results_ = 0;
  long long call_checks_ = 0;
};

TEST_F(SoakTest, ResourcesStayFlatAndTheResultEqualsAReplay) {
  const auto began = std::chrono::steady_clock::now();
  ASSERT_NO_FATAL_FAILURE(Start());
  std::printf("soak %s: %d QSOs, %d refreshes, %d results, %d removals, %d reopenings, "
              "%d resets\n%s\n",
              plan_.name, plan_.qsos, plan_.refreshes, plan_.results, plan_.removals,
              plan_.reopenings, plan_.resets, CountingMethods().c_str());
  std::printf("| checkpoint | GDI | USER | handles | private bytes | threads |\n"
              "|---|---|---|---|---|---|\n");
  std::vector<ProcessResources> readings{Settled()};
  std::printf("%s\n", Row(0, readings.back()).c_str());
  for (int segment = 0; segment < plan_.segments; ++segment) {
    ASSERT_NO_FATAL_FAILURE(RunSegment(segment));
    readings.push_back(Settled());
    std::printf("%s\n", Row(segment + 1, readings.back()).c_str());
    std::fflush(stdout);
  }
  const auto took = std::chrono::duration_cast<std::chrono::seconds>(
      std::chrono::steady_clock::now() - began);
  std::printf("%lld call checks, %lld s\n", call_checks_, static_cast<long long>(took.count()));

  const ProcessResources& first = readings[1];
  for (std::size_t at = 2; at < readings.size(); ++at) {
    const ProcessResources& now = readings[at];
    EXPECT_EQ(now.gdi_objects, first.gdi_objects) << "checkpoint " << at;
    EXPECT_EQ(now.user_objects, first.user_objects) << "checkpoint " << at;
    EXPECT_LE(std::labs(now.kernel_handles - first.kernel_handles), kHandleMargin)
        << "checkpoint " << at;
    EXPECT_LE(now.private_bytes, first.private_bytes + kPrivateBytesMargin)
        << "checkpoint " << at;
    EXPECT_EQ(now.threads, first.threads) << "checkpoint " << at;
  }
  EXPECT_EQ(results_, plan_.results);
  const std::string page = host_->Result();
  EXPECT_EQ(page, ReplayThroughCore(host_->log(), true)) << "the page";
  EXPECT_NE(page, ReplayThroughCore({}, true)) << "the page of an empty log";

  // The operator closes the setup window; the DLL goes with it.
  host_.reset();
  library_.reset();
  ::PostMessageA(setup_, WM_CLOSE, 0, 0);
  EXPECT_TRUE(
      PumpUntil([] { return ::GetModuleHandleA("velmora.dll") == nullptr; }, kPatience));
}

}  // namespace
}  // namespace velmora::testing
