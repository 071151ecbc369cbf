#include "engine/qso_validation.h"

#include "engine/contest_rules.h"

namespace velmora {

Verdict ValidateQso(const QsoArgs& qso) {
  if (!ContestBands().Contains(qso.band)) return Verdict::kWrongBand;
  if (!ContestModes().Contains(qso.mode)) return Verdict::kWrongMode;
  if (qso.nr_rcvd.empty() || qso.nr_sent.empty()) return Verdict::kNoRxNumber;
  return Verdict::kAccepted;
}

CInfo MakeRecord(const QsoArgs& qso) {
  CInfo r;
  r.Call = qso.call;
  r.Band = ContestBands().Canonical(qso.band);
  r.Mode = qso.mode;
  r.Continent = qso.continent;
  r.RstRcvd = qso.rst_rcvd;
  r.RstSent = qso.rst_sent;
  r.NrRcvd = qso.nr_rcvd;
  r.NrSent = qso.nr_sent;
  r.FreqKHz = qso.freq_hz / 1000;
  r.Time = qso.time;
  r.Prefix = (qso.prefix == "IT9" || qso.prefix == "IG9") ? "I" : qso.prefix;
  return r;
}

std::string QsoTimeText(const COleDateTime& time) {
  return time.Format("%Y-%m-%d %H%M");
}

}  // namespace velmora
