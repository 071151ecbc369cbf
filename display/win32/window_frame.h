#pragma once

#include "platform/win32/windows_api.h"

#include "display/window_point.h"

namespace velmora {

// What the plug-in's three windows share around their contents. Run on the
// thread that owns the window.

// Disables (without greying) the Close item of the system menu, which also
// disables the caption's close box.
void DisableCloseItem(HWND window);
// The plug-in's icon (resource 105) in the two sizes of a window, made from
// the resource's bits: such an icon keeps no tie to the module, so the system
// never looks up the module's name for it, which at unload, with the loader
// lock held by the host's thread, would block the setup thread. The icons
// must outlive the window they are set on.
class PluginIcons {
 public:
  explicit PluginIcons(HINSTANCE instance);
  ~PluginIcons();
  PluginIcons(const PluginIcons&) = delete;
  PluginIcons& operator=(const PluginIcons&) = delete;

  void SetOn(HWND window) const;

 private:
  HICON big_;
  HICON small_;
};
// Moves the window's top left corner to `position`, keeping its size and
// place in the stacking order.
void MoveWindowTo(HWND window, WindowPoint position);
// Topmost, without moving, sizing or activating the window.
void MakeWindowTopmost(HWND window);
// The window's top left corner on the screen.
WindowPoint WindowCorner(HWND window);

}  // namespace velmora
