#pragma once

#include <cstddef>
#include <string>

namespace velmora::testing {

// What this process holds of the system's objects at one moment.
struct ProcessResources {
  long gdi_objects = 0;   // pens, brushes, fonts, bitmaps, regions, DCs, ...
  long user_objects = 0;  // windows, menus, cursors and icons, ...
  long kernel_handles = 0;
  std::size_t private_bytes = 0;
  int threads = 0;
};

// Reads every figure. Where the system's own counter answers nothing (Wine
// leaves GetGuiResources and GetProcessHandleCount at 0), the objects are
// counted one by one instead; CountingMethods() says which way each was taken.
ProcessResources ReadProcessResources();
std::string CountingMethods();

}  // namespace velmora::testing
