#pragma once

namespace velmora {

// A colour as red, green and blue, 0..255 each.
struct Rgb {
  int red = 0;
  int green = 0;
  int blue = 0;
  bool operator==(const Rgb&) const = default;
};

// The background of the multiplier window, its pages and the info button's
// list view.
inline constexpr Rgb kPageBackground{255, 250, 198};
inline constexpr Rgb kCallViewBackground{255, 255, 198};
inline constexpr Rgb kCurrentBandStripe{198, 255, 255};
inline constexpr Rgb kTextColour{0, 0, 0};

}  // namespace velmora
