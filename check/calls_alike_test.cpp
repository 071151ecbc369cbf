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

}  // namespace
}  // namespace velmora::check
