#include "engine/ole_date_time.h"

#include <gtest/gtest.h>

namespace {

TEST(OleDateTimeTest, FormatsThePatternsOfResultsAndFiles) {
  COleDateTime t = COleDateTime::FromParts(2017, 6, 3, 14, 32, 5);
  EXPECT_EQ(t.Format("%Y-%m-%d %H%M"), "2017-06-03 1432");
  EXPECT_EQ(t.Format("%H%M"), "1432");
  EXPECT_EQ(t.Format("%H:%M"), "14:32");
  EXPECT_EQ(t.Format("%d.%m"), "03.06");
  EXPECT_EQ(t.Format("%d.%m.%Y"), "03.06.2017");
  EXPECT_EQ(t.Format("%d_%m_%Y"), "03_06_2017");
  EXPECT_EQ(t.Format("100%% %S"), "100% 05");
}

TEST(OleDateTimeTest, KnowsTheEpochAndDayNumbers) {
  EXPECT_EQ(COleDateTime(0.0, COleDateTime::kValid).Format("%Y-%m-%d %H%M"),
            "1899-12-30 0000");
  EXPECT_DOUBLE_EQ(COleDateTime::FromParts(2017, 6, 3, 0, 0, 0).Days(), 42889.0);
  EXPECT_DOUBLE_EQ(COleDateTime::FromParts(2017, 6, 3, 18, 0, 0).Days(), 42889.75);
  // Before the epoch the time of day counts forwards from the date.
  EXPECT_EQ(COleDateTime(-1.25, COleDateTime::kValid).Format("%Y-%m-%d %H:%M"),
            "1899-12-29 06:00");
  EXPECT_DOUBLE_EQ(COleDateTime(-1.25, COleDateTime::kValid).LinearDays(), -0.75);
}

TEST(OleDateTimeTest, RoundsToTheNearestSecond) {
  double t = COleDateTime::FromParts(2017, 6, 3, 14, 31, 59).Days();
  EXPECT_EQ(COleDateTime(t + 0.6 / 86400, COleDateTime::kValid).Format("%H%M"), "1432");
  EXPECT_EQ(COleDateTime(t + 0.4 / 86400, COleDateTime::kValid).Format("%H%M"), "1431");
}

TEST(OleDateTimeTest, InvalidAndNullValuesFormatAsTheHostDoes) {
  EXPECT_EQ(COleDateTime(42889.0, COleDateTime::kInvalid).Format("%H%M"),
            "Invalid DateTime");
  EXPECT_EQ(COleDateTime(1e12, COleDateTime::kValid).Format("%H%M"), "Invalid DateTime");
  EXPECT_EQ(COleDateTime(0.0, COleDateTime::kNull).Format("%H%M"), "");
  EXPECT_EQ(COleDateTime::FromParts(2017, 2, 30, 0, 0, 0).GetStatus(),
            COleDateTime::kInvalid);
}

TEST(OleDateTimeTest, SameTimeComparesStatusesFirst) {
  COleDateTime a(42889.5, COleDateTime::kValid);
  EXPECT_TRUE(a.SameTime(COleDateTime(42889.5, COleDateTime::kValid)));
  EXPECT_FALSE(a.SameTime(COleDateTime(42889.5, COleDateTime::kInvalid)));
  EXPECT_FALSE(COleDateTime(1.0, COleDateTime::kInvalid)
                   .SameTime(COleDateTime(1.0, COleDateTime::kInvalid)));
  EXPECT_TRUE(COleDateTime(1.0, COleDateTime::kNull)
                  .SameTime(COleDateTime(2.0, COleDateTime::kNull)));
}

}  // namespace
