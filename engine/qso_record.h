#pragma once

#include <cstdint>
#include <string>

#include "engine/ole_date_time.h"

namespace velmora {

// One stored QSO, as the host handed it over.
struct CInfo {
  std::string Call;
  std::string Prefix;  // DXCC prefix, "IT9" and "IG9" folded into "I"
  std::string Continent;
  std::string Band;
  std::string Mode;
  std::string RstRcvd;
  std::string RstSent;
  std::string NrRcvd;
  std::string NrSent;
  std::uint32_t FreqKHz = 0;
  int Bad = 0;    // does not count; set together with Dupe
  int Error = 0;  // only on a rejected QSO, which is never stored
  int Dupe = 0;
  COleDateTime Time;
};

}  // namespace velmora
