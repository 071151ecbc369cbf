#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "display/dxcc_refresh.h"
#include "display/tool_window.h"
#include "display/window_tracker.h"
#include "platform/host_link.h"
#include "setup/settings.h"
#include "setup/setup_view.h"
#include "setup/window_position.h"

namespace velmora {

class Module;

// The setup window's behaviour, whatever draws it: the opening, the three
// check boxes, the position save and the status refresh up to the DXCC part.
// The window system runs every handler on the setup thread. The object lives
// with the module, so what it keeps (last position, last signalled frequency,
// current call) outlasts one opening of the window.
class SetupController : public WindowTracker {
 public:
  SetupController(Module& module, Settings& settings, HostLink& host);
  SetupController(const SetupController&) = delete;
  SetupController& operator=(const SetupController&) = delete;

  // The window's initialisation: position, options, host link, texts, and the
  // first status refresh posted. `view` must outlive the call of Closed().
  void Open(SetupView& view);
  void OnDxccClick();
  void OnExtendedClick();
  void OnOnTopClick();
  // The pointer is over one of the three windows, which is at `current`.
  void OnSetCursor(WindowKind kind, WindowPoint current) override;
  // The status-update message.
  void OnStatusUpdate();
  // A close request from the window shutdown: the tool window closes and its
  // option stays as stored.
  void CloseToolWindow(WindowKind kind);
  // The setup window has ended: its tool windows end with it, and the host
  // link, which belongs to this thread, is released.
  void Closed();

  // Plugs in the DXCC part of the refresh (nullptr: none), before the setup
  // thread first starts or on that thread.
  void SetDxccRefresh(DxccRefresh* refresh) { dxcc_refresh_ = refresh; }

  // How long a lost host is left alone before a refresh looks it up again,
  // so that a missing host does not slow the refreshes of a typing operator.
  static constexpr std::chrono::milliseconds kReattachPause{3000};
  void SetReattachPause(std::chrono::milliseconds pause) { reattach_pause_ = pause; }

  const std::string& current_call() const { return current_call_; }
  WindowPositions& positions() { return positions_; }
  ToolWindow* tool_window(WindowKind kind);

 private:
  // A tool window with its option in the setup window and its settings key.
  struct Tool {
    WindowKind kind;
    const char* key;
    bool option = false;
    std::unique_ptr<ToolWindow> window;
  };

  Tool& ToolOf(WindowKind kind);
  void Toggle(Tool& tool);
  void Reconcile(Tool& tool);
  std::unique_ptr<ToolWindow> CreateShown(WindowKind kind);
  void AttachHost();
  bool ReattachDue() const;
  void AskHost();
  void HostFailed();
  void PushChecks();
  void RequestRefresh();

  Module& module_;
  Settings& settings_;
  HostLink& host_;
  WindowPositions positions_;
  DxccRefresh* dxcc_refresh_ = nullptr;

  SetupView* view_ = nullptr;  // set while the setup window is open
  Tool info_{WindowKind::kDxccInfo, "DXCC", false, nullptr};
  Tool multiplier_{WindowKind::kMultiplier, "setup_view_dxcc_extended", false, nullptr};
  bool on_top_ = false;  // the Window-on-top option, applied by tool windows as they open
  std::string current_call_;
  double last_signalled_hz_ = 0.0;
  std::chrono::milliseconds reattach_pause_ = kReattachPause;
  std::chrono::steady_clock::time_point last_attach_{};  // the last lookup of the host
};

}  // namespace velmora
