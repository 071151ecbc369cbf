#include "check/calls_alike.h"

#include <gtest/gtest.h>

namespace velmora::check {
namespace {

TEST(CallsAlike, OneCharacterAwayOrRunTogetherInMorse) {
  EXPECT_TRUE(CallsAlike("DL1ABC", "DL1ABD"));   // changed
  EXPECT_TRUE(CallsAlike("DL1ABC", "DL1AB"));    // left out
  EXPECT_TRUE(CallsAlike("DL1ABC", "DL1ABCD"));  // added
  EXPECT_TRUE(CallsAlike("DL1ABC", "DL1BAC"));   // swapped
  EXPECT_TRUE(CallsAlike("DL1ABC", "DL1ETBC"));  // A .- heard as E . T -
  EXPECT_TRUE(CallsAlike("OK1EIX", "OK1SX"));    // E I run together into S
  EXPECT_FALSE(CallsAlike("DL1ABC", "DL1ABC"));
  EXPECT_FALSE(CallsAlike("DL1ABC", "DL1XYC"));
  EXPECT_FALSE(CallsAlike("DL1ABC", "DL1TEBC"));  // T E is N, not A
  EXPECT_FALSE(CallsAlike("", "K"));
}

TEST(CallDistance, CountsChangesAddedLeftOutAndSwapped) {
  EXPECT_EQ(CallDistance("HB9BXE", "HB9BXE"), 0);
  EXPECT_EQ(CallDistance("DL1ABC", "DL1BAC"), 1);
  EXPECT_EQ(CallDistance("HB9BXE", "SD9BXE"), 2);
  EXPECT_EQ(CallDistance("SE6K", "SE6TT"), 2);
  EXPECT_EQ(CallDistance("OK1ABC", "OK1XYZ"), 3);
  EXPECT_EQ(CallDistance("", "K1A"), 3);
}

}  // namespace
}  // namespace velmora::check
