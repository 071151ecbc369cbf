#pragma once

#include "platform/win32/windows_api.h"

namespace velmora {

// An off-screen picture of `area` of a target device context: drawing goes
// to memory in the target's coordinates, and the destructor copies the area
// to the target in one transfer, so the screen never shows a half-drawn
// state. Text is drawn in the target's font (for an owner-drawn control, the
// control's own), not in the stock font a new memory context starts with,
// whose wide bold letters run into the next column. Falls back to drawing on
// the target when no memory context or bitmap can be had.
class MemoryDc {
 public:
  MemoryDc(HDC target, const RECT& area);
  ~MemoryDc();
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;

  HDC dc() const { return memory_ ? memory_ : target_; }

 private:
  HDC target_;
  RECT area_;
  HDC memory_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ displaced_ = nullptr;
  HGDIOBJ displaced_font_ = nullptr;
};

}  // namespace velmora
