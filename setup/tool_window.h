#pragma once

#include "setup/window_position.h"

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
};

}  // namespace velmora
