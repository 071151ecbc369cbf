#include "display/info_button_view.h"

#include <algorithm>

namespace velmora {

DrawOp DrawOp::Fill(Rect rect, Rgb colour) {
  return {.kind = Kind::kFill, .rect = rect, .colour = colour};
}

DrawOp DrawOp::TextStyle() { return {.kind = Kind::kTextStyle, .colour = kTextColour}; }

DrawOp DrawOp::Text(int x, int y, std::string text) {
  return {.kind = Kind::kText, .x = x, .y = y, .text = std::move(text)};
}

namespace {

// List view: the keys 40 px apart from (5, 15), on a new line 15 px lower
// once x has passed the right edge less 40.
void DrawWorkedList(const InfoButtonInput& in, std::vector<DrawOp>& ops) {
  ops.push_back(DrawOp::Fill(in.item, kPageBackground));
  if (in.band_index < 0 || in.band_index >= kBandCount) return;
  ops.push_back(DrawOp::TextStyle());
  std::vector<std::string> keys = in.lists.BandMults[static_cast<std::size_t>(in.band_index)];
  std::sort(keys.begin(), keys.end());  // byte order: char_traits compares unsigned
  int x = 5;
  int y = 15;
  for (std::string& key : keys) {
    ops.push_back(DrawOp::Text(x, y, std::move(key)));
    x += 40;
    if (x > in.item.right - 40) {
      y += 15;
      x = 5;
    }
  }
}

// Call view: a header line, then one row per band at a seventh of the
// button's height each.
void DrawCallRows(const InfoButtonInput& in, std::vector<DrawOp>& ops) {
  ops.push_back(DrawOp::Fill(in.item, kCallViewBackground));
  const int h = in.item.bottom / 7;
  const int band = in.band_index;
  if (band >= 0 && band < kBandCount)
    ops.push_back(DrawOp::Fill({0, (band + 1) * h + 10, in.item.right, (band + 2) * h},
                       kCurrentBandStripe));
  ops.push_back(DrawOp::TextStyle());
  ops.push_back(DrawOp::Text(100, 0, "MODE"));
  ops.push_back(DrawOp::Text(180, 0, "TIME"));
  ops.push_back(DrawOp::Text(255, 0, "NR"));
  constexpr int kColumns[] = {20, 100, 180, 260};  // band, mode, time, number
  for (int r = 1; r <= kBandCount; ++r) {
    const auto& row = in.lists.BandRows[static_cast<std::size_t>(r - 1)];
    for (std::size_t text = 0; text < std::size(kColumns) && text < row.size(); ++text)
      ops.push_back(DrawOp::Text(kColumns[text], r * h + 10, row[text]));
  }
}

}  // namespace

std::vector<DrawOp> DrawInfoButton(const InfoButtonInput& input) {
  std::vector<DrawOp> ops;
  if (input.current_call.empty())
    DrawWorkedList(input, ops);
  else
    DrawCallRows(input, ops);
  return ops;
}

}  // namespace velmora
