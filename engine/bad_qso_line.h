#pragma once

#include <string>

#include "engine/qso_args.h"
#include "engine/qso_validation.h"

namespace velmora {

// "   WRONG BAND !!!" and so on; "   DUPE !!!" for a duplicate.
const char* VerdictText(Verdict verdict);
extern const char kDupeText[];

// The QSO in the column order of a Cabrillo QSO line, then the verdict, then
// CR LF. Every value is written as the host passed it, except that a line
// break in it becomes a space: one QSO is one line.
std::string BadQsoLine(const QsoArgs& qso, const char* verdict_text);

}  // namespace velmora
