#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// One check box of a continent page of the multiplier window.
struct EntityBox {
  std::string_view label;
  int row = 0;     // from 1, top down
  int column = 0;  // from 1, left to right
  int control_id = 0;
  // The entity key that ticks the box when it is not the label itself.
  std::string_view other_key = {};

  std::string_view Key() const { return other_key.empty() ? label : other_key; }
};

// One tab of the multiplier window; its boxes are in box order, which is also
// the order of the page's state members.
struct ContinentPage {
  std::string_view tab_caption;  // three blanks, the continent, one blank
  std::string_view class_name;
  int resource_id = 0;
  int rows = 0;
  int columns = 0;
  std::span<const EntityBox> boxes;
};

inline constexpr int kPageCount = 6;
// Tab indexes, which are also the order in which the pages are created and
// pushed to their boxes.
enum PageIndex : int { kEuPage, kAfPage, kAsPage, kNaPage, kSaPage, kOcPage };

const std::array<ContinentPage, kPageCount>& ContinentPages();

// A box as its page's tab index and its index in box order.
struct BoxRef {
  int page = 0;
  int box = 0;
  bool operator==(const BoxRef&) const = default;
};

// The boxes a worked entity key ticks: none, one or two. Keys are compared
// byte for byte; case, blanks and prefixes all count.
std::vector<BoxRef> BoxesForKey(std::string_view key);

// The state members of all six pages (0 not worked, 1 worked), in box order.
using PageStates = std::array<std::vector<int>, kPageCount>;

PageStates ClearedPageStates();
// Sets every box ticked by a key of `worked` to 1; never clears a box. Keys
// that tick nothing are ignored.
void TickWorked(const std::vector<std::string>& worked, PageStates& states);

}  // namespace velmora
