#include "replay/replay_options.h"

#include <stdexcept>

#include "readers/argument_reader.h"

namespace velmora::replay {

const char kReplayUsage[] =
    "usage: velmora-replay LOG [options]\n"
    "  LOG                 ADIF (.adi, .adif) or Cabrillo (.cbr, .log) log\n"
    "  --call CALL         own call (default: from the log)\n"
    "  --start 'YYYY-MM-DD HH:MM'  contest start (default: first QSO)\n"
    "  --end 'YYYY-MM-DD HH:MM'    contest end (default: last QSO)\n"
    "  --cty FILE          country file (default: /usr/share/hamradio-files/cty.dat)\n"
    "  --dir DIR           working folder for the plug-in's files (default: .)\n"
    "  --html FILE         also write the result page\n"
    "  --report FILE       also write the contest report (one HTML page)\n"
    "  --break-minutes N   shortest break the report lists (default: 30)\n"
    "  --scenario FILE     also write the plug-in calls made as a scenario file\n"
    "  --cabrillo          also run the Cabrillo export (file lands in DIR)\n"
    "  --name, --operators, --address, --city, --postcode, --country, --email,\n"
    "  --club, --soapbox, --power, --category-operator, --category-band,\n"
    "  --transmitter, --overlay TEXT   Cabrillo header values\n"
    "  -h, --help          print this help and exit\n"
    "  --version           print the version and exit\n";

namespace {

// Command-line flags that fill a field of the Cabrillo form.
constexpr std::pair<const char*, const char*> kHeaderFlags[] = {
    {"--name", "Name"},
    {"--operators", "Operators"},
    {"--address", "Address"},
    {"--city", "AddressCity"},
    {"--postcode", "AddressPostalCode"},
    {"--country", "AddressCountry"},
    {"--email", "Email"},
    {"--club", "Club"},
    {"--soapbox", "SoapBox"},
    {"--power", "CategoryPower"},
    {"--category-operator", "CategoryOperator"},
    {"--category-band", "CategoryBand"},
    {"--transmitter", "CategoryTransmitter"},
    {"--overlay", "CategoryOverlay"},
};

const char* HeaderField(const std::string& flag) {
  for (const auto& [name, field] : kHeaderFlags)
    if (flag == name) return field;
  return nullptr;
}

}  // namespace

ReplayOptions ParseReplayOptions(const std::vector<std::string>& args) {
  ReplayOptions o;
  readers::ArgumentReader reader(args);
  while (reader.Next()) {
    const std::string& arg = reader.arg();
    if (reader.TakeHelpOrVersion(o.help, o.version)) return o;
    if (arg == "--call") o.call = reader.Value();
    else if (arg == "--start") o.start = reader.DateTimeValue();
    else if (arg == "--end") o.end = reader.DateTimeValue();
    else if (arg == "--cty") o.cty_file = reader.Value();
    else if (arg == "--dir") o.dir = reader.Value();
    else if (arg == "--html") o.html_file = reader.Value();
    else if (arg == "--report") o.report_file = reader.Value();
    else if (arg == "--scenario") o.scenario_file = reader.Value();
    else if (arg == "--break-minutes") o.break_minutes = reader.NumberValue(1, 1440, "minutes");
    else if (arg == "--cabrillo") o.cabrillo = true;
    else if (const char* field = HeaderField(arg)) o.header.emplace_back(field, reader.Value());
    else if (reader.IsUnknownFlag()) throw std::invalid_argument("unknown option " + arg);
    else if (o.log_file.empty()) o.log_file = arg;
    else throw std::invalid_argument("one log at a time: " + arg);
  }
  if (o.log_file.empty()) throw std::invalid_argument("no log file given");
  return o;
}

}  // namespace velmora::replay
