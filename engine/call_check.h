#pragma once

#include <string>

#include "engine/qso_args.h"
#include "engine/qso_log.h"

namespace velmora {

enum CallCheckCode { kCallDupe = 0, kKnownMult = 1, kNewMult = 2, kUnworkable = 4 };

struct CallCheckResult {
  int code = kNewMult;
  bool workable = true;
  // Serial received in the latest earlier QSO with this call on another band
  // or mode (before its first QSO on this band and mode).
  std::string remembered_serial;
};

// `host_version` decides the unworkable code: "2.19" and "2.20" expect 1.
CallCheckResult CheckCall(const QsoLog& log, const CheckCallArgs& args,
                          const std::string& host_version);

// Copies at most 9 characters and the NUL into a 10-character host buffer.
void CopySerial(const std::string& serial, char* out);

}  // namespace velmora
