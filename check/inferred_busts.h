#pragma once

#include <cstdint>

#include "check/contest.h"
#include "check/known_calls.h"

// Busts of calls whose own log is missing or holds nothing of the QSO, told
// by the contest's own figures: a line still untied whose call few logs hold,
// one alike step from a call many logs hold, whose received serial fits what
// that call was sending at that minute, is busted, with that call as the
// correct one. Where several calls fit, the closer serial, then the nearer
// time decides; a tie is no bust. A call of the known calls is no bust, and a
// known call followed by the serial received (a serial typed into the call)
// is a bust of that call, as is a call many logs hold whose serial then fits.

namespace velmora::check {

struct InferOptions {
  std::uint32_t rare_holders = 2;    // the busted call: held by at most this many logs
  std::uint32_t common_holders = 5;  // the correct call: held by at least this many
  int serial_tolerance = 2;          // how far the serial may be from the call's at that minute
  int serial_window = 60;            // minutes either side whose serials tell the call's
  int jobs = 1;
};

void InferBusts(Contest& contest, const KnownCalls& known, const InferOptions& options);

}  // namespace velmora::check
