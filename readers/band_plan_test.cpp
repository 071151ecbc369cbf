#include "readers/band_plan.h"

#include <gtest/gtest.h>

namespace {

TEST(BandFromFrequencyTest, NamesBandsUpToTheirEdgesAndNothingOutside) {
  std::string named;
  for (unsigned int khz : {1800u, 3525u, 5354u, 7300u, 10110u, 14350u, 18080u, 21025u, 24895u,
                           29700u, 50150u, 144300u, 432200u, 0u, 1799u, 10151u, 14351u, 27555u})
    named += BandFromFrequency(khz) + ",";
  EXPECT_EQ(named, "160m,80m,60m,40m,30m,20m,17m,15m,12m,10m,6m,2m,70cm,,,,,,");
}

TEST(NormalizeBandTest, LowerCasesAndTrimsBandNames) {
  EXPECT_EQ(NormalizeBand("20M"), "20m");
  EXPECT_EQ(NormalizeBand(" 160m "), "160m");
  EXPECT_EQ(NormalizeBand("Submm"), "submm");
}

}  // namespace
