#pragma once

#include <string>
#include <vector>

#include "display/colour.h"
#include "display/geometry.h"
#include "engine/band_lists.h"

namespace velmora {

// One step of the info button's picture, for the window layer to replay in
// order on its memory device context.
struct DrawOp {
  enum class Kind {
    kFill,       // fill `rect` with `colour`
    kTextStyle,  // transparent text background, text in `colour`, and the
                 // memory context's own default font (select none)
    kText,       // draw `text` with its top left at (x, y)
  };
  Kind kind = Kind::kFill;
  Rect rect{};
  Rgb colour{};
  int x = 0;
  int y = 0;
  std::string text{};

  static DrawOp Fill(Rect rect, Rgb colour);
  static DrawOp TextStyle();
  static DrawOp Text(int x, int y, std::string text);

  bool operator==(const DrawOp&) const = default;
};

// What the info button draws from, as it is at the moment of the repaint.
struct InfoButtonInput {
  std::string current_call;
  int band_index = -1;  // -1 until a refresh found a band
  BandLists lists;      // a copy taken under the module's lock
  Rect item;            // the button's rectangle
};

// The picture: with an empty call the current band's multipliers sorted by
// byte order, wrapping before the right edge; otherwise one row per band
// with the last QSO of the call and the current band striped.
std::vector<DrawOp> DrawInfoButton(const InfoButtonInput& input);

}  // namespace velmora
