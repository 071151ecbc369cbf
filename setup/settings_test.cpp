#include "setup/settings.h"

#include <gtest/gtest.h>

namespace {

TEST(SettingsTest, NumbersAreTheLeadingDecimalPart) {
  EXPECT_EQ(velmora::LeadingNumber("12abc"), 12);
  EXPECT_EQ(velmora::LeadingNumber("  -150"), -150);
  EXPECT_EQ(velmora::LeadingNumber("+7"), 7);
  EXPECT_EQ(velmora::LeadingNumber("abc"), 0);
  EXPECT_EQ(velmora::LeadingNumber(""), 0);
  EXPECT_EQ(velmora::LeadingNumber("- 5"), 0);
  EXPECT_EQ(velmora::LeadingNumber("99999999999999999999"), 2147483647);
  EXPECT_EQ(velmora::LeadingNumber("-99999999999999999999"), -2147483647 - 1);
}

}  // namespace
