#include "results/cabrillo_writer.h"

#include "engine/text_format.h"
#include "platform/text_lines.h"

namespace velmora {

namespace {

constexpr char kEnd[] = "\r\n";

void AddLine(std::string& out, const char* key, const std::string& value) {
  out += key;
  out += OnOneLine(value);
  out += kEnd;
}

// A multi-line field in its file form: its line breaks start lines of their own.
void AddLines(std::string& out, const char* key, const std::string& value) {
  out += key;
  out += value;
  out += kEnd;
}

void AddCategoryLines(std::string& out, const CabrilloForm& header) {
  AddLine(out, "CATEGORY-OPERATOR: ", header.CategoryOperator);
  if (header.CategoryOperator == "MULTI-OP") {
    AddLine(out, "CATEGORY-TRANSMITTER: ", header.CategoryTransmitter);
    if (!header.CategoryOverlay.empty())
      AddLine(out, "CATEGORY-OVERLAY: ", header.CategoryOverlay);
  } else {
    AddLine(out, "CATEGORY-BAND: ", header.CategoryBand);
    AddLine(out, "CATEGORY-POWER: ", header.CategoryPower);
  }
}

}  // namespace

std::string CabrilloQsoLine(const CInfo& qso, const std::string& own_call) {
  const char* mode = qso.Mode == "CW" ? "CW" : "??";
  const std::string time = qso.Time.Format("%Y-%m-%d %H%M");
  return StrFormat("QSO: %5i %2s %s %-13s %-3s %-6s %-13s %-3s %s\r\n",
                   static_cast<int>(qso.FreqKHz), mode, time.c_str(),
                   OnOneLine(own_call).c_str(), OnOneLine(qso.RstSent).c_str(),
                   OnOneLine(qso.NrSent).c_str(), OnOneLine(qso.Call).c_str(),
                   OnOneLine(qso.RstRcvd).c_str(), OnOneLine(qso.NrRcvd).c_str());
}

std::string CabrilloFileText(const CabrilloForm& header, const QsoLog& log,
                             int claimed_score, const std::string& host_version) {
  std::string out = "START-OF-LOG: 3.0\r\nCONTEST: VELMORA\r\n";
  AddLine(out, "CALLSIGN: ", header.Callsign);
  AddCategoryLines(out, header);
  AddLine(out, "CLAIMED-SCORE: ", StrFormat("%i", claimed_score));
  AddLine(out, "OPERATORS: ", header.Operators);
  AddLine(out, "CREATED-BY: Vemo ", host_version);
  AddLine(out, "NAME: ", header.Name);
  AddLine(out, "ADDRESS: ", header.Address);
  AddLine(out, "ADDRESS-CITY: ", header.AddressCity);
  AddLine(out, "ADDRESS-POSTALCODE: ", header.AddressPostalCode);
  AddLine(out, "ADDRESS-COUNTRY: ", header.AddressCountry);
  AddLine(out, "EMAIL: ", header.Email);
  AddLines(out, "SOAPBOX: ", header.SoapBox);
  if (!header.OffTime.empty()) AddLines(out, "OFFTIME: ", header.OffTime);
  for (const CInfo& qso : log) out += CabrilloQsoLine(qso, header.Callsign);
  out += "END-OF-LOG:\r\n";
  return out;
}

void WriteCabrilloFile(FileSystem& files, WindowSystem& windows,
                       const std::string& file_base, std::string_view text) {
  const std::string name = file_base + ".cbr";
  const bool written = files.ReplaceFile(name, text);
  windows.ShowMessage(written ? "File produced: " + name : "Could not write " + name,
                      "Output", MessageIcon::kInformation);
}

}  // namespace velmora
