#pragma once

#include "platform/win32/windows_api.h"

#include "setup/window_position.h"

namespace velmora {

// What the plug-in's three windows share around their contents. Run on the
// thread that owns the window.

// Disables (without greying) the Close item of the system menu, which also
// disables the caption's close box.
void DisableCloseItem(HWND window);
// The plug-in's icon (resource 105), large and small.
void SetPluginIcon(HWND window, HINSTANCE instance);
// Moves the window's top left corner to `position`, keeping its size and
// place in the stacking order.
void MoveWindowTo(HWND window, WindowPoint position);
// Topmost, without moving, sizing or activating the window.
void MakeWindowTopmost(HWND window);
// The window's top left corner on the screen.
WindowPoint WindowCorner(HWND window);

}  // namespace velmora
