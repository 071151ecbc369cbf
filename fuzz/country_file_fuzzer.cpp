// The country file on random texts, then look-ups: no crash, and no error
// but LogReadError.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "readers/country_file.h"
#include "readers/log_qso.h"
#include "fuzz/float_traps.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FloatTrapsDuringInput traps;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    const CountryFile countries = CountryFile::Parse(text, "fuzz.dat");
    for (std::string_view call : {"DL1ABC", "W1AW/4", "DL/OK1XX", "F5ABC/MM", "", "/", "K/",
                                  "3D2/R", "UA9XX/6/P"})
      countries.Lookup(call);
    // Calls made of the text's own bytes find its aliases.
    for (std::size_t at = 0; at < text.size() && at < 4096; at += 37)
      countries.Lookup(text.substr(at, 8));
  } catch (const LogReadError&) {
  }
  return 0;
}
