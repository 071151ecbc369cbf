#pragma once

#include "platform/win32/windows_api.h"

#include <functional>
#include <memory>

#include "display/dxcc_display.h"
#include "display/win32/window_frame.h"
#include "setup/setup_controller.h"
#include "setup/setup_view.h"

namespace velmora {

// The status-update message (the first user message number + 500), both
// parameters 0.
inline constexpr UINT kStatusUpdateMessage = WM_USER + 500;
// A close request for the tool window of WindowKind `wparam`, sent by the
// window shutdown from another thread.
inline constexpr UINT kCloseToolWindowMessage = WM_APP + 1;
// Posted to itself at the end of the initialisation: handled once the dialog
// is shown and its modal loop runs.
inline constexpr UINT kOpenedMessage = WM_APP + 2;

// The setup window (template 106), run as a modal dialog without owner on
// the setup thread, with the controller's handlers behind its messages. The
// tool windows it opens are modeless dialogs of the same thread. Setup
// thread only.
class SetupWindow final : public SetupView {
 public:
  // Without a controller the window opens and closes but does nothing;
  // without a display no DXCC info window opens.
  SetupWindow(HINSTANCE instance, SetupController* controller, const DxccDisplay* display);
  ~SetupWindow() override;
  SetupWindow(const SetupWindow&) = delete;
  SetupWindow& operator=(const SetupWindow&) = delete;

  // Runs the dialog until it ends (Escape, or a close request). `opened`
  // gets the window once it is open, shown and has the focus, with the first
  // status refresh done; status updates posted before wait in its queue.
  // False when the dialog could not be created.
  bool Run(const std::function<void(HWND)>& opened);

  void SetTexts(const SetupTexts& texts) override;
  void SetChecks(const SetupChecks& checks) override;
  void MoveTo(WindowPoint position) override;
  void MakeTopmost() override;
  void PostStatusUpdate() override;
  std::unique_ptr<ToolWindow> CreateToolWindow(WindowKind kind,
                                               const ToolPlacement& placement) override;

 private:
  static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wparam,
                                    LPARAM lparam);
  INT_PTR Handle(UINT message, WPARAM wparam);
  void Init();
  void Command(int id, int code);

  HINSTANCE instance_;
  SetupController* controller_;
  const DxccDisplay* display_;
  const std::function<void(HWND)>* opened_ = nullptr;  // during Run only
  PluginIcons icons_;  // outlives the dialog
  HWND window_ = nullptr;
  HBRUSH brush_ = nullptr;
};

}  // namespace velmora
