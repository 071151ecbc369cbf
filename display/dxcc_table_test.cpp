#include "display/dxcc_table.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <numeric>
#include <set>

namespace velmora {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

BoxRef Box(int page, std::string_view label) {
  const auto boxes = ContinentPages()[static_cast<std::size_t>(page)].boxes;
  for (std::size_t i = 0; i < boxes.size(); ++i)
    if (boxes[i].label == label) return {page, static_cast<int>(i)};
  ADD_FAILURE() << "no box " << label << " on page " << page;
  return {};
}

int TickedCount(const PageStates& states) {
  int ticked = 0;
  for (const auto& page : states) ticked += std::accumulate(page.begin(), page.end(), 0);
  return ticked;
}

TEST(DxccTableTest, PagesHoldTheirBoxesWithUniqueIdsAndCells) {
  const std::size_t expected[kPageCount] = {70, 72, 56, 50, 31, 54};
  const auto& pages = ContinentPages();
  for (int p = 0; p < kPageCount; ++p) {
    const ContinentPage& page = pages[static_cast<std::size_t>(p)];
    SCOPED_TRACE(page.class_name);
    EXPECT_EQ(page.boxes.size(), expected[p]);
    std::set<int> ids;
    std::set<std::pair<int, int>> cells;
    for (const EntityBox& box : page.boxes) {
      EXPECT_TRUE(ids.insert(box.control_id).second) << box.label;
      EXPECT_TRUE(cells.insert({box.row, box.column}).second) << box.label;
      EXPECT_TRUE(box.row <= page.rows && box.column <= page.columns) << box.label;
    }
  }
}

TEST(DxccTableTest, KeysThatDifferFromTheirLabels) {
  EXPECT_THAT(BoxesForKey("UA2/f"), ElementsAre(Box(kEuPage, "UA2")));
  EXPECT_THAT(BoxesForKey("UA2"), ElementsAre(Box(kEuPage, "UA2")));
  EXPECT_THAT(BoxesForKey("E4"), ElementsAre(Box(kAfPage, "E4"), Box(kAsPage, "E4")));
  EXPECT_THAT(BoxesForKey("SU"), ElementsAre(Box(kAfPage, "SU"), Box(kAsPage, "SU")));
  EXPECT_THAT(BoxesForKey("3Y"), ElementsAre(Box(kAfPage, "3Y/b")));
  EXPECT_THAT(BoxesForKey("3Y/p"), ElementsAre(Box(kSaPage, "3Y/p")));
  EXPECT_THAT(BoxesForKey("3Y/b"), IsEmpty());
  // Boxes without a key of their own tick by their label.
  EXPECT_THAT(BoxesForKey("4O"), ElementsAre(Box(kEuPage, "4O")));
  EXPECT_THAT(BoxesForKey("JD/m"), ElementsAre(Box(kOcPage, "JD/m")));
}

TEST(DxccTableTest, KeysMatchByteForByteOnly) {
  EXPECT_THAT(BoxesForKey("DL"), ElementsAre(Box(kEuPage, "DL")));
  EXPECT_THAT(BoxesForKey("dl"), IsEmpty());
  EXPECT_THAT(BoxesForKey("DL "), IsEmpty());
  EXPECT_THAT(BoxesForKey("IT9"), IsEmpty());
  EXPECT_THAT(BoxesForKey("D"), IsEmpty());
  EXPECT_THAT(BoxesForKey(""), IsEmpty());
}

TEST(DxccTableTest, TickingSetsBoxesAndNeverClears) {
  PageStates states = ClearedPageStates();
  TickWorked({}, states);
  EXPECT_EQ(TickedCount(states), 0);

  TickWorked({"E4", "UA2/f", "UA2", "E4", "XX9", "XX"}, states);
  EXPECT_EQ(TickedCount(states), 4);  // two E4 boxes, UA2, XX9
  const BoxRef ua2 = Box(kEuPage, "UA2");
  EXPECT_EQ(states[kEuPage][static_cast<std::size_t>(ua2.box)], 1);

  TickWorked({"DL"}, states);
  EXPECT_EQ(TickedCount(states), 5);
}

}  // namespace
}  // namespace velmora
