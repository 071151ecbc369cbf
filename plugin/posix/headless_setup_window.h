#pragma once

#include <memory>
#include <string>

#include "plugin/posix/headless_tool_window.h"
#include "plugin/posix/setup_message.h"
#include "plugin/posix/setup_queue.h"
#include "setup/setup_controller.h"
#include "setup/setup_view.h"

namespace velmora {

// Everything the headless setup window and its tool windows show.
struct HeadlessSetupState {
  HeadlessWindowState setup;
  HeadlessWindowState dxcc_info;
  HeadlessWindowState multiplier;
  SetupChecks checks;
  std::string view_label;
  std::string on_top_label;
  int status_refreshes = 0;  // status-update messages handled
};

// The setup window without a screen. Its modal loop is the loop over its
// queue; its handlers are the controller's. Setup thread only.
class HeadlessSetupWindow : public SetupView {
 public:
  // Without a controller the window opens and closes but does nothing.
  HeadlessSetupWindow(SetupQueue& queue, SetupController* controller)
      : queue_(queue), controller_(controller) {}
  ~HeadlessSetupWindow() override;
  HeadlessSetupWindow(const HeadlessSetupWindow&) = delete;
  HeadlessSetupWindow& operator=(const HeadlessSetupWindow&) = delete;

  // The dialog's initialisation.
  void Open();
  // Handles the window's messages until it is closed. Its tool windows end
  // with the object.
  void Run();

  void SetTexts(const SetupTexts& texts) override;
  void SetChecks(const SetupChecks& checks) override { state_.checks = checks; }
  void MoveTo(WindowPoint position) override { state_.setup.position = position; }
  void MakeTopmost() override { state_.setup.topmost = true; }
  void PostStatusUpdate() override { queue_.Post(SetupMessageId::kStatusUpdate); }
  std::unique_ptr<ToolWindow> CreateToolWindow(WindowKind kind,
                                               const ToolPlacement& placement) override;

 private:
  // False when the message ends the dialog.
  bool Handle(const SetupMessage& message);
  void Click(SetupBox box);
  HeadlessWindowState& StateOf(WindowKind kind);

  SetupQueue& queue_;
  SetupController* controller_;
  HeadlessSetupState state_;
};

}  // namespace velmora
