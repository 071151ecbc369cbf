#pragma once

namespace velmora {

// Pixel positions and rectangles of the display's view models.
struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

// Left and top inside, right and bottom outside, as the window system has it.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const Rect&) const = default;
};

}  // namespace velmora
