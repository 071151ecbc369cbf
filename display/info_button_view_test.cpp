#include "display/info_button_view.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "display/tool_window_view.h"

namespace velmora {
namespace {

using ::testing::ElementsAre;
constexpr auto Fill = DrawOp::Fill;
constexpr auto Style = DrawOp::TextStyle;
constexpr auto Text = DrawOp::Text;

class InfoButtonViewTest : public ::testing::Test {
 protected:
  InfoButtonViewTest() { in.lists.ResetRows(); }
  InfoButtonInput in;
};

TEST_F(InfoButtonViewTest, ListViewSortsTheBandsKeysAndWrapsBeforeTheRightEdge) {
  in.band_index = 3;
  in.item = {0, 0, 200, 100};
  in.lists.BandMults[3] = {"OK", "DL", "9A", "\xc0X", "ZL", "F"};
  in.lists.BandMults[2] = {"G"};
  EXPECT_THAT(DrawInfoButton(in),
              ElementsAre(Fill(in.item, kPageBackground), Style(), Text(5, 15, "9A"),
                          Text(45, 15, "DL"), Text(85, 15, "F"), Text(125, 15, "OK"),
                          Text(5, 30, "ZL"), Text(45, 30, "\xc0X")));
  EXPECT_EQ(in.lists.BandMults[3][0], "OK");  // the list itself keeps its order
}

TEST_F(InfoButtonViewTest, CallViewStripesTheCurrentBandAndDrawsTheRows) {
  in.current_call = "OK1AB";
  in.band_index = 2;
  in.item = {0, 0, 330, 140};
  in.lists.BandRows[2] = {"40m", "CW", "13:07", "024", "   -"};
  const std::vector<DrawOp> ops = DrawInfoButton(in);
  ASSERT_EQ(ops.size(), 3u + 3u + 24u);
  EXPECT_THAT(std::vector<DrawOp>(ops.begin(), ops.begin() + 6),
              ElementsAre(Fill(in.item, kCallViewBackground),
                          Fill({0, 70, 330, 80}, kCurrentBandStripe), Style(),
                          Text(100, 0, "MODE"), Text(180, 0, "TIME"), Text(255, 0, "NR")));
  EXPECT_EQ(ops[6], Text(20, 30, "160m"));
  EXPECT_THAT(std::vector<DrawOp>(ops.begin() + 14, ops.begin() + 18),
              ElementsAre(Text(20, 70, "40m"), Text(100, 70, "CW"), Text(180, 70, "13:07"),
                          Text(260, 70, "024")));
  EXPECT_EQ(ops.back(), Text(260, 130, "-"));
}

TEST_F(InfoButtonViewTest, WithoutBandTheListIsPlainAndNoRowIsStriped) {
  in.item = {0, 0, 330, 140};
  in.lists.BandMults[0] = {"DL"};
  EXPECT_THAT(DrawInfoButton(in), ElementsAre(Fill(in.item, kPageBackground)));
  in.current_call = "OK1AB";
  const std::vector<DrawOp> ops = DrawInfoButton(in);
  EXPECT_EQ(ops.size(), 2u + 3u + 24u);
  EXPECT_EQ(ops[1], Style());
}

TEST(ToolWindowViewTest, ZeroPositionTakesTheDefault) {
  EXPECT_EQ(OpenToolWindow(0, 0, false).position, (Point{10, 400}));
  EXPECT_EQ(OpenToolWindow(0, 250, false).position, (Point{10, 250}));
  EXPECT_EQ(OpenToolWindow(-20, 30, false).position, (Point{-20, 30}));
  EXPECT_TRUE(OpenToolWindow(1, 1, true).topmost);
}

}  // namespace
}  // namespace velmora
