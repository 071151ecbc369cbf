#pragma once

#include <string>
#include <string_view>

// The amateur band that holds `freq_khz`, named as ADIF names bands ("160m",
// "20m", "2m", "70cm" ...); "" when the frequency is outside every band.
std::string BandFromFrequency(unsigned int freq_khz);

// A band name as a log writes it, in our spelling: trimmed and lower-case
// ("20M" -> "20m"). Texts that are no band name are kept, lower-cased.
std::string NormalizeBand(std::string_view band);
