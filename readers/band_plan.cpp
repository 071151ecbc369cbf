#include "readers/band_plan.h"

#include <array>

#include "readers/text_scan.h"

namespace {

struct BandEdges {
  unsigned int low_khz;
  unsigned int high_khz;  // inclusive
  const char* name;
};

// The widest edges any region allows, so that a log from anywhere fits.
constexpr std::array<BandEdges, 23> kBands = {{
    {135, 137, "2190m"},
    {472, 479, "630m"},
    {1800, 2000, "160m"},
    {3500, 4000, "80m"},
    {5060, 5450, "60m"},
    {7000, 7300, "40m"},
    {10100, 10150, "30m"},
    {14000, 14350, "20m"},
    {18068, 18168, "17m"},
    {21000, 21450, "15m"},
    {24890, 24990, "12m"},
    {28000, 29700, "10m"},
    {50000, 54000, "6m"},
    {70000, 71000, "4m"},
    {144000, 148000, "2m"},
    {222000, 225000, "1.25m"},
    {420000, 450000, "70cm"},
    {902000, 928000, "33cm"},
    {1240000, 1300000, "23cm"},
    {2300000, 2450000, "13cm"},
    {3300000, 3500000, "9cm"},
    {5650000, 5925000, "6cm"},
    {10000000, 10500000, "3cm"},
}};

}  // namespace

std::string BandFromFrequency(unsigned int freq_khz) {
  for (const BandEdges& band : kBands)
    if (freq_khz >= band.low_khz && freq_khz <= band.high_khz) return band.name;
  return std::string();
}

std::string NormalizeBand(std::string_view band) {
  return LowerAscii(TrimBlanks(band));
}
