#include "engine/bad_qso_line.h"

#include "platform/text_lines.h"

namespace velmora {

const char kDupeText[] = "   DUPE !!!";

const char* VerdictText(Verdict verdict) {
  switch (verdict) {
    case Verdict::kWrongBand: return "   WRONG BAND !!!";
    case Verdict::kWrongMode: return "   WRONG MODE !!!";
    case Verdict::kNoRxNumber: return "   NO RX NUMBER !!!";
    case Verdict::kAccepted: break;
  }
  return "";
}

std::string BadQsoLine(const QsoArgs& qso, const char* verdict_text) {
  std::string line = "QSO:  ";
  line += std::to_string(qso.freq_hz / 1000);
  const std::string time = QsoTimeText(qso.time);
  for (const std::string* field : {&qso.mode, &time, &qso.own_call, &qso.rst_sent,
                                   &qso.nr_sent, &qso.call, &qso.rst_rcvd, &qso.nr_rcvd}) {
    line += "  ";
    line += OnOneLine(*field);
  }
  line += verdict_text;
  line += "\r\n";
  return line;
}

}  // namespace velmora
