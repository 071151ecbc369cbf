#pragma once

#include "display/window_point.h"

namespace velmora {

// Who keeps the windows' positions: a tool window reports the pointer over it
// with its corner, as the setup window does. Setup thread only.
class WindowTracker {
 public:
  virtual ~WindowTracker() = default;

  // The pointer is over the window of `kind`, which is at `current`.
  virtual void OnSetCursor(WindowKind kind, WindowPoint current) = 0;
};

}  // namespace velmora
