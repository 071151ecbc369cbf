// The ADIF reader on random texts: no crash, and no error but LogReadError.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/log_checks.h"
#include "readers/adif_reader.h"
#include "fuzz/float_traps.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FloatTrapsDuringInput traps;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    velmora::RequireLinesInFile(ReadAdif(text, "fuzz.adi"), text);
  } catch (const LogReadError&) {
  }
  return 0;
}
