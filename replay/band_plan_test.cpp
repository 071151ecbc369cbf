#include "replay/band_plan.h"

#include <gtest/gtest.h>

namespace {

TEST(BandFromFrequencyTest, NamesTheHfBandsIncludingTheirEdges) {
  EXPECT_EQ(BandFromFrequency(1800), "160m");
  EXPECT_EQ(BandFromFrequency(2000), "160m");
  EXPECT_EQ(BandFromFrequency(3525), "80m");
  EXPECT_EQ(BandFromFrequency(5354), "60m");
  EXPECT_EQ(BandFromFrequency(7008), "40m");
  EXPECT_EQ(BandFromFrequency(10110), "30m");
  EXPECT_EQ(BandFromFrequency(14350), "20m");
  EXPECT_EQ(BandFromFrequency(18080), "17m");
  EXPECT_EQ(BandFromFrequency(21025), "15m");
  EXPECT_EQ(BandFromFrequency(24895), "12m");
  EXPECT_EQ(BandFromFrequency(29700), "10m");
}

TEST(BandFromFrequencyTest, NamesLowAndVhfBands) {
  EXPECT_EQ(BandFromFrequency(136), "2190m");
  EXPECT_EQ(BandFromFrequency(475), "630m");
  EXPECT_EQ(BandFromFrequency(50150), "6m");
  EXPECT_EQ(BandFromFrequency(144300), "2m");
  EXPECT_EQ(BandFromFrequency(432200), "70cm");
  EXPECT_EQ(BandFromFrequency(1296200), "23cm");
}

TEST(BandFromFrequencyTest, GivesNothingOutsideEveryBand) {
  EXPECT_EQ(BandFromFrequency(0), "");
  EXPECT_EQ(BandFromFrequency(1799), "");
  EXPECT_EQ(BandFromFrequency(14351), "");
  EXPECT_EQ(BandFromFrequency(10151), "");
  EXPECT_EQ(BandFromFrequency(27555), "");
}

TEST(NormalizeBandTest, LowerCasesAndTrimsBandNames) {
  EXPECT_EQ(NormalizeBand("20M"), "20m");
  EXPECT_EQ(NormalizeBand(" 160m "), "160m");
  EXPECT_EQ(NormalizeBand("70CM"), "70cm");
  EXPECT_EQ(NormalizeBand("Submm"), "submm");
  EXPECT_EQ(NormalizeBand(""), "");
}

}  // namespace
