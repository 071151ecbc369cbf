#pragma once

#include <string_view>

#include "display/colour.h"
#include "display/tool_window_view.h"

namespace velmora {

// The multiplier window: a tab control with one page per continent of
// ContinentPages(), created and tabbed in that order. Its title comes from
// the status refresh; its boxes from RefreshView::page_states.
inline constexpr int kMultiplierWindowResource = 117;
inline constexpr int kMultiplierTabControl = 1073;
inline constexpr std::string_view kMultiplierWindowCaption = "Multiplier";
inline constexpr PositionKeys kMultiplierWindowKeys{"dxcc_extended_x",
                                                    "dxcc_extended_y"};
// The window, its pages and their boxes paint kPageBackground with text in
// kTextColour.

// Where the pages sit in the window's client area, in pixels.
struct PagePlacement {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const PagePlacement&) const = default;
};

// From the tab control's window size in pixels.
PagePlacement PlacePages(int tab_width, int tab_height);

// Showing a page hides the other five; other indexes are ignored. Each
// time the window is shown it starts on the EU page.
bool IsPageIndex(int index);

}  // namespace velmora
