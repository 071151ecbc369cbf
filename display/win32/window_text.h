#pragma once

#include "platform/win32/windows_api.h"

#include <string>

namespace velmora {

// Shows `text` as the window's text through the wide API. The plug-in's
// window texts are ASCII or, in Russian, CP1251 bytes, so they are read as
// code page 1251 whatever the system's ANSI code page is.
void SetWindowText1251(HWND window, const std::string& text);

}  // namespace velmora
