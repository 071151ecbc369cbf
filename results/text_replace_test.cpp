#include "results/text_replace.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(ReplaceAllTest, ReplacesEveryOccurrenceLeftToRightWithoutRescanning) {
  EXPECT_EQ(ReplaceAll("a<CR>b<CR><CR>", "<CR>", "\r"), "a\rb\r\r");
  EXPECT_EQ(ReplaceAll("aaa", "aa", "a"), "aa");  // the new "a" is not looked at
  EXPECT_EQ(ReplaceAll("abab", "ab", "abab"), "abababab");
  EXPECT_EQ(ReplaceAll("<<CR>CR>", "<CR>", ""), "<CR>");
  EXPECT_EQ(ReplaceAll("x\r\ny\r\n", "\r", "\r\nSOAPBOX: "), "x\r\nSOAPBOX: \ny\r\nSOAPBOX: \n");
}

TEST(ReplaceAllTest, LeavesTheTextWhenThereIsNothingToDo) {
  EXPECT_EQ(ReplaceAll("no match", "<LF>", "\n"), "no match");
  EXPECT_EQ(ReplaceAll("", "<LF>", "\n"), "");
  EXPECT_EQ(ReplaceAll("same", "", "x"), "same");
  EXPECT_EQ(ReplaceAll("a/b", "/", "/"), "a/b");
  EXPECT_EQ(ReplaceAll(std::string("a\0b", 3), std::string_view("\0", 1), "_"), "a_b");
}

}  // namespace
}  // namespace velmora
