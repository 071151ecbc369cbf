#pragma once

#include "platform/win32/windows_api.h"

#include <functional>
#include <string>

namespace velmora::testing {

// The plug-in's three windows, as a test finds them among the top-level
// dialogs of this process: each by a control only it holds.
enum class PluginWindow { kSetup, kDxccInfo, kMultiplier };

// nullptr when the window does not exist.
HWND FindPluginWindow(PluginWindow which);
std::string TitleOf(HWND window);
// The continent page of the multiplier window that holds the boxes of page
// `index` of the DXCC table; nullptr when there is none.
HWND FindContinentPage(HWND multiplier, int index);

// Dispatches this thread's messages, as the host's UI thread does, until
// `done` holds (true) or `timeout_ms` have passed (false).
bool PumpUntil(const std::function<bool()>& done, unsigned long timeout_ms);
void PumpFor(unsigned long ms);

// Saves the screen area of `window` as a PNG file at `unix_path`, with the X
// tools run as Unix programs (Wine starts them). False when that failed.
bool SaveScreenshot(HWND window, const std::string& unix_path);

}  // namespace velmora::testing
