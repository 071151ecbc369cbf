#pragma once

#include <cstdint>
#include <string>

#include "engine/ole_date_time.h"
#include "engine/short_text.h"

namespace velmora {

// One stored QSO, as the host handed it over. Its texts are ShortText so that
// a big log stays small.
struct CInfo {
  ShortText Call;
  ShortText Prefix;  // DXCC prefix, "IT9" and "IG9" folded into "I"
  ShortText Continent;
  ShortText Band;
  ShortText Mode;
  ShortText RstRcvd;
  ShortText RstSent;
  ShortText NrRcvd;
  ShortText NrSent;
  std::uint32_t FreqKHz = 0;
  int Bad = 0;    // does not count; set together with Dupe
  int Error = 0;  // only on a rejected QSO, which is never stored
  int Dupe = 0;
  COleDateTime Time;
};

}  // namespace velmora
