#pragma once

#include "display/window_point.h"
#include "setup/settings.h"

namespace velmora {

// Where the three windows open, and the saving of their positions through
// the one last-position pair they share. Setup thread only.
class WindowPositions {
 public:
  explicit WindowPositions(Settings& settings) : settings_(settings) {}

  // The window's stored position, which also becomes the last position. A
  // stored 0 counts as unset: x is then 10, y 10 for the setup window and 400
  // for the tool windows.
  WindowPoint Opening(WindowKind kind);
  // The pointer is over the window, which is now at `current`: each
  // coordinate that differs from the last position replaces it and is written.
  void Track(WindowKind kind, WindowPoint current);

  WindowPoint last() const { return last_; }

 private:
  Settings& settings_;
  WindowPoint last_;
};

}  // namespace velmora
