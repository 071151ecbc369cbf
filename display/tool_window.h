#pragma once

#include <string>

#include "display/dxcc_table.h"
#include "display/window_point.h"

namespace velmora {

// Where a tool window opens, and whether it stays above other windows.
struct ToolPlacement {
  WindowPoint position;
  bool topmost = false;
};

// A tool window opened from the setup window: the DXCC info window or the
// multiplier window. Destroying the object closes the window. Setup thread
// only.
class ToolWindow {
 public:
  virtual ~ToolWindow() = default;

  virtual void Show() = 0;
  // False once the operator has dismissed the window.
  virtual bool IsVisible() const = 0;

  // What the DXCC refresh gives the window to show; a window ignores what it
  // does not show.
  virtual void ShowTitle(const std::string& title) { (void)title; }
  virtual void ShowPageStates(const PageStates& states) { (void)states; }
  // Redraws the info button (without erasing the background first).
  virtual void RepaintInfoButton() {}
};

}  // namespace velmora
