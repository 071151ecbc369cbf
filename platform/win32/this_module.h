#pragma once

#include "platform/win32/windows_api.h"

namespace velmora {

// The module this code is linked into (the DLL, or a test program): the one
// whose resources hold the dialogs. The reference count is left as it is.
HINSTANCE ThisModule();

}  // namespace velmora
