#pragma once

#include <string>

#include "engine/qso_args.h"
#include "engine/qso_record.h"

namespace velmora {

enum class Verdict { kAccepted, kWrongBand, kWrongMode, kNoRxNumber };

// Band before mode before serials: the first failing check decides.
Verdict ValidateQso(const QsoArgs& qso);

// A stored record for an accepted QSO; the band takes the contest's spelling.
CInfo MakeRecord(const QsoArgs& qso);

// The time text of bad-QSO lines.
std::string QsoTimeText(const COleDateTime& time);

}  // namespace velmora
