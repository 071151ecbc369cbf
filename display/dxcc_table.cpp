#include "display/dxcc_table.h"

namespace velmora {
namespace {

// Keys that tick a box besides the box's own key.
struct ExtraKey {
  std::string_view key;
  int page;
  std::string_view label;
};
constexpr ExtraKey kExtraKeys[] = {
    {"UA2/f", kEuPage, "UA2"},
};

int BoxWithLabel(int page, std::string_view label) {
  const auto boxes = ContinentPages()[static_cast<std::size_t>(page)].boxes;
  for (std::size_t i = 0; i < boxes.size(); ++i)
    if (boxes[i].label == label) return static_cast<int>(i);
  return -1;
}

}  // namespace

std::vector<BoxRef> BoxesForKey(std::string_view key) {
  std::vector<BoxRef> found;
  const auto& pages = ContinentPages();
  for (int page = 0; page < kPageCount; ++page) {
    const auto boxes = pages[static_cast<std::size_t>(page)].boxes;
    for (std::size_t i = 0; i < boxes.size(); ++i)
      if (boxes[i].Key() == key) found.push_back({page, static_cast<int>(i)});
  }
  for (const ExtraKey& extra : kExtraKeys) {
    int box = BoxWithLabel(extra.page, extra.label);
    if (extra.key == key && box >= 0) found.push_back({extra.page, box});
  }
  return found;
}

PageStates ClearedPageStates() {
  PageStates states;
  const auto& pages = ContinentPages();
  for (std::size_t page = 0; page < pages.size(); ++page)
    states[page].assign(pages[page].boxes.size(), 0);
  return states;
}

void TickWorked(const std::vector<std::string>& worked, PageStates& states) {
  for (const std::string& key : worked) {
    for (BoxRef ref : BoxesForKey(key)) {
      auto& members = states[static_cast<std::size_t>(ref.page)];
      const auto box = static_cast<std::size_t>(ref.box);
      if (box < members.size()) members[box] = 1;
    }
  }
}

}  // namespace velmora
