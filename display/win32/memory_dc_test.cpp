#include "display/win32/memory_dc.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

// The picture is drawn in the target's font and comes back whole; the target
// keeps its font and the memory context gives it back.
TEST(MemoryDcTest, DrawsInTheTargetsFontAndCopiesThePictureBack) {
  HDC screen = ::GetDC(nullptr);
  HDC target = ::CreateCompatibleDC(screen);
  HBITMAP canvas = ::CreateCompatibleBitmap(screen, 40, 20);
  ::ReleaseDC(nullptr, screen);
  HGDIOBJ old_canvas = ::SelectObject(target, canvas);
  HFONT font = ::CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                             "Arial");
  HGDIOBJ old_font = ::SelectObject(target, font);
  {
    MemoryDc memory(target, RECT{10, 5, 30, 15});
    EXPECT_NE(memory.dc(), target);
    EXPECT_EQ(::GetCurrentObject(memory.dc(), OBJ_FONT), font);
    HBRUSH red = ::CreateSolidBrush(RGB(255, 0, 0));
    const RECT area{10, 5, 30, 15};
    ::FillRect(memory.dc(), &area, red);
    ::DeleteObject(red);
    EXPECT_NE(::GetPixel(target, 20, 10), RGB(255, 0, 0));  // not before the copy
  }
  EXPECT_EQ(::GetPixel(target, 20, 10), RGB(255, 0, 0));
  EXPECT_EQ(::GetPixel(target, 5, 10), RGB(0, 0, 0));  // outside the area
  EXPECT_EQ(::GetCurrentObject(target, OBJ_FONT), font);
  ::SelectObject(target, old_font);
  ::SelectObject(target, old_canvas);
  EXPECT_TRUE(::DeleteObject(font));  // no longer selected anywhere
  ::DeleteObject(canvas);
  ::DeleteDC(target);
}

}  // namespace
}  // namespace velmora
