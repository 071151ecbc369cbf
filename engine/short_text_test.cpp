#include "engine/short_text.h"

#include <gtest/gtest.h>

#include <utility>

namespace velmora {
namespace {

TEST(ShortTextTest, KeepsTextsOfEveryLengthWithTheirNul) {
  for (std::size_t n : {0u, 1u, 14u, 15u, 16u, 40u}) {
    std::string text(n, 'x');
    if (n) text[n - 1] = '\xe4';  // any byte, kept as it is
    ShortText t(text);
    EXPECT_EQ(t.size(), n);
    EXPECT_EQ(t.view(), text);
    EXPECT_EQ(std::string(t.c_str()), text);
    EXPECT_EQ(t.empty(), n == 0);
  }
}

TEST(ShortTextTest, CopiesMovesAndSelfAssignsWithoutLosingTheText) {
  ShortText long_text(std::string(30, 'a'));
  ShortText copy = long_text;
  ShortText moved = std::move(copy);
  EXPECT_EQ(moved, std::string(30, 'a'));
  EXPECT_TRUE(copy.empty());  // NOLINT: a moved-from text reads empty
  moved = moved.view().substr(5);  // assigning a view into itself
  EXPECT_EQ(moved, std::string(25, 'a'));
  moved = "DL1ABC";
  long_text = moved;
  EXPECT_EQ(long_text, "DL1ABC");
  long_text = long_text;
  EXPECT_EQ(long_text, std::string("DL1ABC"));
}

}  // namespace
}  // namespace velmora
