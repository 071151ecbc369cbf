#include "replay/replay_options.h"

#include <cstdio>
#include <stdexcept>

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

COleDateTime DateTimeValue(const std::string& flag, const std::string& text) {
  std::optional<COleDateTime> t = ParseDateTime(text);
  if (!t) throw std::invalid_argument(flag + " wants 'YYYY-MM-DD HH:MM', not '" + text + "'");
  return *t;
}

int MinutesValue(const std::string& flag, const std::string& text) {
  int minutes = 0;
  char end;
  if (std::sscanf(text.c_str(), "%d%c", &minutes, &end) != 1 || minutes < 1 || minutes > 1440)
    throw std::invalid_argument(flag + " wants minutes from 1 to 1440, not '" + text + "'");
  return minutes;
}

}  // namespace

std::optional<COleDateTime> ParseDateTime(const std::string& text) {
  int y, mo, d, h, mi;
  char sep, end;
  if (std::sscanf(text.c_str(), "%4d-%2d-%2d%c%2d:%2d%c", &y, &mo, &d, &sep, &h, &mi,
                  &end) != 6 ||
      (sep != ' ' && sep != 'T'))
    return std::nullopt;
  COleDateTime t = COleDateTime::FromParts(y, mo, d, h, mi, 0);
  if (t.GetStatus() != COleDateTime::kValid) return std::nullopt;
  return t;
}

ReplayOptions ParseReplayOptions(const std::vector<std::string>& args) {
  ReplayOptions o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw std::invalid_argument(arg + " needs a value");
      return args[++i];
    };
    if (arg == "--help" || arg == "-h" || arg == "--version") {
      (arg == "--version" ? o.version : o.help) = true;
      return o;
    }
    if (arg == "--call") o.call = value();
    else if (arg == "--start") o.start = DateTimeValue(arg, value());
    else if (arg == "--end") o.end = DateTimeValue(arg, value());
    else if (arg == "--cty") o.cty_file = value();
    else if (arg == "--dir") o.dir = value();
    else if (arg == "--html") o.html_file = value();
    else if (arg == "--report") o.report_file = value();
    else if (arg == "--scenario") o.scenario_file = value();
    else if (arg == "--break-minutes") o.break_minutes = MinutesValue(arg, value());
    else if (arg == "--cabrillo") o.cabrillo = true;
    else if (const char* field = HeaderField(arg)) o.header.emplace_back(field, value());
    else if (arg.size() > 1 && arg[0] == '-') throw std::invalid_argument("unknown option " + arg);
    else if (o.log_file.empty()) o.log_file = arg;
    else throw std::invalid_argument("one log at a time: " + arg);
  }
  if (o.log_file.empty()) throw std::invalid_argument("no log file given");
  return o;
}

}  // namespace velmora::replay
