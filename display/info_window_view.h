#pragma once

#include <string_view>

#include "display/geometry.h"
#include "display/tool_window_view.h"

namespace velmora {

// The DXCC info window: one owner-drawn info button over the whole client
// area (see DrawInfoButton). Its title comes from the status refresh; it
// opens with OpenToolWindow, topmost like the multiplier window when the
// on-top option is set.
inline constexpr int kInfoWindowResource = 104;
inline constexpr int kInfoButtonControl = 1003;
inline constexpr std::string_view kInfoWindowCaption = "DXCC";
inline constexpr PositionKeys kInfoWindowKeys{"dxcc_x", "dxcc_y"};

// The info button after a resize: a 5-pixel margin all round.
Rect InfoButtonRect(int client_width, int client_height);

}  // namespace velmora
