#include "setup/window_position.h"

#include <gtest/gtest.h>

#include "testing/fake_settings_store.h"

namespace velmora {
namespace {

class WindowPositionTest : public ::testing::Test {
 protected:
  testing::FakeSettingsStore store;
  Settings settings{store};
  WindowPositions positions{settings};
};

TEST_F(WindowPositionTest, StoredZeroOrNothingOpensAtTheDefault) {
  store.values = {{"Setup_x", "0"},
                  {"dxcc_x", "-150"},
                  {"dxcc_y", "12abc"},
                  {"dxcc_extended_x", "abc"}};
  EXPECT_EQ(positions.Opening(WindowKind::kSetup), (WindowPoint{10, 10}));
  EXPECT_EQ(positions.Opening(WindowKind::kDxccInfo), (WindowPoint{-150, 12}));
  EXPECT_EQ(positions.Opening(WindowKind::kMultiplier), (WindowPoint{10, 400}));
  EXPECT_EQ(positions.last(), (WindowPoint{10, 400}));
  EXPECT_TRUE(store.writes.empty());
}

TEST_F(WindowPositionTest, TheThreeWindowsShareOneLastPosition) {
  positions.Opening(WindowKind::kSetup);
  positions.Track(WindowKind::kSetup, {10, 10});
  EXPECT_TRUE(store.writes.empty());
  positions.Track(WindowKind::kSetup, {50, 10});
  positions.Track(WindowKind::kSetup, {50, 10});
  EXPECT_EQ(store.writes, std::vector<std::string>{"Setup_x=50"});
  // Only the coordinate that differs from the other window's is written.
  positions.Track(WindowKind::kDxccInfo, {50, 400});
  positions.Track(WindowKind::kMultiplier, {-20, 300});
  EXPECT_EQ(store.writes,
            (std::vector<std::string>{"Setup_x=50", "dxcc_y=400", "dxcc_extended_x=-20",
                                      "dxcc_extended_y=300"}));
}

}  // namespace
}  // namespace velmora
