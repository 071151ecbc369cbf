#include "setup/header_flow.h"

#include "results/text_replace.h"

namespace velmora {

namespace {

// A stored multi-line text as the file writes it: every "<CR>" starts a new
// line with the key again, line feeds go.
std::string FileForm(const std::string& stored, const std::string& key) {
  return ReplaceAll(ReplaceAll(stored, "<CR>", "\r\n" + key), "<LF>", "");
}

void LoadHeader(Settings& settings, const std::string& station_call,
                CabrilloForm& header) {
  header.Callsign = station_call;
  header.Operators = settings.ReadText("Operators");
  if (header.Operators.empty()) header.Operators = header.Callsign;
  header.Name = settings.ReadText("Name");
  header.Address = settings.ReadText("Address");
  header.AddressCity = settings.ReadText("Address_City");
  header.AddressPostalCode = settings.ReadText("Address_PostalCode");
  header.AddressCountry = settings.ReadText("Address_Country");
  header.ClaimedText = settings.ReadText("Claimed");
  header.OffTime = LineBreaksFromSettings(settings.ReadText("Offtime"));
  header.Contest = "VELMORA";
  header.CategoryOperator = "SINGLE-OP";
  header.CategoryPower = "HIGH";
  header.CategoryBand = "ALL";
  header.Email = settings.ReadText("Email");
  header.Club = settings.ReadText("Club");
  header.SoapBox = LineBreaksFromSettings(settings.ReadText("SoapBox"));
}

// What the form starts from: the header record, except that the
// transmitter, overlay and station categories start empty every time.
CabrilloForm FormStart(const CabrilloForm& header) {
  CabrilloForm form = header;
  form.CategoryTransmitter.clear();
  form.CategoryOverlay.clear();
  form.CategoryStation.clear();
  return form;
}

void StoreHeader(Settings& settings, const CabrilloForm& header) {
  settings.WriteText("Operators", header.Operators);
  settings.WriteText("Name", header.Name);
  settings.WriteText("Address", header.Address);
  settings.WriteText("Address_City", header.AddressCity);
  settings.WriteText("Address_PostalCode", header.AddressPostalCode);
  settings.WriteText("Address_Country", header.AddressCountry);
  settings.WriteText("Category", header.CategoryOperator);
  settings.WriteText("Power", header.CategoryPower);
  settings.WriteText("Contest", header.Contest);
  settings.WriteText("Email", header.Email);
  settings.WriteText("Club", header.Club);
  settings.WriteText("SoapBox", header.SoapBox);
  settings.WriteText("Offtime", header.OffTime);
}

}  // namespace

std::string LineBreaksFromSettings(const std::string& stored) {
  return ReplaceAll(ReplaceAll(stored, "<CR>", "\r"), "<LF>", "\n");
}

std::string LineBreaksToSettings(const std::string& text) {
  return ReplaceAll(ReplaceAll(text, "\r", "<CR>"), "\n", "<LF>");
}

bool RunCabrilloHeaderFlow(Settings& settings, WindowSystem& windows,
                           const std::string& station_call, CabrilloForm& header) {
  LoadHeader(settings, station_call, header);
  CabrilloForm form = FormStart(header);
  if (!windows.RunCabrilloForm(form)) return false;

  // Everything comes back but the claimed score, which the result decides.
  form.ClaimedText = header.ClaimedText;
  header = std::move(form);
  header.OffTime = LineBreaksToSettings(header.OffTime);
  header.SoapBox = LineBreaksToSettings(header.SoapBox);
  StoreHeader(settings, header);
  header.OffTime = FileForm(header.OffTime, "OFFTIME: ");
  header.SoapBox = FileForm(header.SoapBox, "SOAPBOX: ");
  return true;
}

}  // namespace velmora
