#include "display/win32/memory_dc.h"

namespace velmora {

MemoryDc::MemoryDc(HDC target, const RECT& area) : target_(target), area_(area) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return;
  memory_ = ::CreateCompatibleDC(target);
  if (!memory_) return;
  bitmap_ = ::CreateCompatibleBitmap(target, width, height);
  if (!bitmap_) {
    ::DeleteDC(memory_);
    memory_ = nullptr;
    return;
  }
  displaced_ = ::SelectObject(memory_, bitmap_);
  displaced_font_ = ::SelectObject(memory_, ::GetCurrentObject(target, OBJ_FONT));
  ::SetWindowOrgEx(memory_, area.left, area.top, nullptr);
}

MemoryDc::~MemoryDc() {
  if (!memory_) return;
  ::BitBlt(target_, area_.left, area_.top, area_.right - area_.left, area_.bottom - area_.top,
           memory_, area_.left, area_.top, SRCCOPY);
  ::SelectObject(memory_, displaced_font_);
  ::SelectObject(memory_, displaced_);
  ::DeleteObject(bitmap_);
  ::DeleteDC(memory_);
}

}  // namespace velmora
