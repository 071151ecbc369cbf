#pragma once

namespace velmora {

// The plug-in's three windows.
enum class WindowKind { kSetup, kDxccInfo, kMultiplier };

// A window's top-left corner, in screen pixels.
struct WindowPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const WindowPoint&, const WindowPoint&) = default;
};

}  // namespace velmora
