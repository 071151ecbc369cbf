#pragma once

#include <string>

#include "display/tool_window.h"
#include "display/window_point.h"

namespace velmora {

// What a headless window shows, kept as a real window would keep it.
struct HeadlessWindowState {
  bool exists = false;
  bool visible = false;
  bool topmost = false;
  WindowPoint position;
  std::string title;
  int openings = 0;  // windows of this kind created so far
  PageStates pages;  // the multiplier window's boxes
  int button_repaints = 0;
};

// A tool window without a screen; its state lives in `state`, owned by the
// setup window. Setup thread only.
class HeadlessToolWindow : public ToolWindow {
 public:
  HeadlessToolWindow(HeadlessWindowState& state, const ToolPlacement& placement);
  ~HeadlessToolWindow() override;
  HeadlessToolWindow(const HeadlessToolWindow&) = delete;
  HeadlessToolWindow& operator=(const HeadlessToolWindow&) = delete;

  void Show() override { state_.visible = true; }
  bool IsVisible() const override { return state_.visible; }
  void ShowTitle(const std::string& title) override { state_.title = title; }
  void ShowPageStates(const PageStates& states) override { state_.pages = states; }
  void RepaintInfoButton() override { ++state_.button_repaints; }

 private:
  HeadlessWindowState& state_;
};

}  // namespace velmora
