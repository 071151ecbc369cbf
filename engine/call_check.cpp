#include "engine/call_check.h"

#include <algorithm>
#include <cstring>

#include "engine/contest_rules.h"

namespace velmora {

namespace {

bool Unworkable(const CheckCallArgs& args) {
  if (!args.band.empty() && !args.band2.empty() &&
      !EqualsIgnoringCase(args.band, args.band2))
    return true;
  return !ContestBands().Contains(args.band) || !ContestModes().Contains(args.mode);
}

}  // namespace

CallCheckResult CheckCall(const QsoLog& log, const CheckCallArgs& args,
                          const std::string& host_version) {
  CallCheckResult result;
  if (Unworkable(args)) {
    result.workable = false;
    result.code = (host_version == "2.19" || host_version == "2.20") ? kKnownMult
                                                                     : kUnworkable;
    return result;
  }
  const std::string band = ContestBands().Canonical(args.band);
  for (std::size_t i : log.PositionsOf(args.call)) {
    const CInfo& r = log[i];
    if (r.Band == band && r.Mode == args.mode) {
      result.code = kCallDupe;
      return result;
    }
    result.remembered_serial = r.NrRcvd;
  }
  result.code = log.HasPrefixOnBand(band, args.prefix) ? kKnownMult : kNewMult;
  return result;
}

void CopySerial(const std::string& serial, char* out) {
  if (out == nullptr) return;
  std::size_t n = std::min<std::size_t>(serial.size(), 9);
  std::memcpy(out, serial.data(), n);
  out[n] = '\0';
}

}  // namespace velmora
