#pragma once

#include <string_view>

#include "display/geometry.h"

namespace velmora {

// The settings keys under which a tool window keeps its top left corner.
struct PositionKeys {
  std::string_view x;
  std::string_view y;
};

// The icon of both tool windows (and of the setup window).
inline constexpr int kToolWindowIcon = 105;

// Where a tool window opens and how it stacks.
struct ToolWindowOpening {
  Point position;
  bool topmost = false;
};

// `saved_x` and `saved_y` are the window's keys read as decimal numbers, 0
// when missing. A zero coordinate takes the default 10 for x, 400 for y; the
// opener also stores the position as the last-position pair. Both tool
// windows are made topmost, without moving or activating, when the on-top
// option is set.
ToolWindowOpening OpenToolWindow(int saved_x, int saved_y, bool on_top);

}  // namespace velmora
