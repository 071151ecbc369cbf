#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/band_lists.h"
#include "engine/qso_args.h"
#include "engine/qso_log.h"
#include "engine/qso_validation.h"
#include "engine/station.h"

namespace velmora {

// A QSO the plug-in did not store, with the check that turned it away.
struct RejectedQso {
  QsoArgs qso;
  Verdict verdict = Verdict::kWrongBand;
};

// A call the country file had no entity for (handed over without a prefix).
struct UnknownCall {
  std::string call;
  COleDateTime time;
};

// What the report is made of: the plug-in's own tables after the hand-over,
// and what only the feeder of the entry points knows.
struct ReportInput {
  QsoLog log;
  BandLists lists;
  Station station;
  COleDateTime start, end;  // the contest period as the reset gave it
  std::vector<RejectedQso> rejected;
  std::vector<UnknownCall> unknown;
  std::unordered_map<std::string, std::string> entity_names;  // by prefix
  int break_minutes = 30;  // shorter gaps between QSOs are operating time
};

class Module;

// The plug-in's log, lists and station after a hand-over; the rest is left
// to the caller.
ReportInput ReportInputOf(const Module& module);

}  // namespace velmora
