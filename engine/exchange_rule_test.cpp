#include "engine/exchange_rule.h"

#include <gtest/gtest.h>

namespace {

TEST(ExchangeRuleTest, AcceptsThreeOrFourDigitSerialsButNot599) {
  EXPECT_TRUE(velmora::IsValidExchange("001"));
  EXPECT_TRUE(velmora::IsValidExchange("1234"));
  EXPECT_TRUE(velmora::IsValidExchange("598"));
  EXPECT_FALSE(velmora::IsValidExchange("599"));
  EXPECT_FALSE(velmora::IsValidExchange("12"));
  EXPECT_FALSE(velmora::IsValidExchange("12345"));
  EXPECT_FALSE(velmora::IsValidExchange("12a"));
  EXPECT_FALSE(velmora::IsValidExchange(""));
  EXPECT_FALSE(velmora::IsValidExchange("\xb9" "12"));
  EXPECT_FALSE(velmora::IsValidExchange(" 12"));
}

}  // namespace
