#include "check/check_options.h"

#include <cstdio>
#include <stdexcept>

#include "replay/replay_options.h"

namespace velmora::check {

const char kCheckUsage[] =
    "usage: velmora-check LOG_OR_FOLDER... --out DIR [options]\n"
    "  LOG_OR_FOLDER       Cabrillo logs, or folders of them (*.log, *.cbr)\n"
    "  --out DIR           where qsos.csv, results.csv, results.html, reports/ go\n"
    "  --cty FILE          country file (default: /usr/share/hamradio-files/cty.dat)\n"
    "  --start 'YYYY-MM-DD HH:MM'  contest start (default: the first QSO of all logs)\n"
    "  --end 'YYYY-MM-DD HH:MM'    contest end (default: the last QSO of all logs)\n"
    "  --window-minutes N  largest time difference of two QSOs that match (default: 5)\n"
    "  --uniques keep|remove       whether uniques count (default: keep)\n"
    "  --penalty N         more QSOs' points taken per nil and busted call (default: 0)\n"
    "  --rulings FILE      the organisers' rulings: log,line,verdict,reason\n"
    "  --no-clock-offsets  take no clock offset out\n"
    "  -j N                threads (default: 1)\n"
    "  --quiet             no progress on stderr\n"
    "  -h, --help          print this help and exit\n"
    "  --version           print the version and exit\n";

namespace {

int NumberValue(const std::string& flag, const std::string& text, int low, int high) {
  int value = 0;
  char end;
  if (std::sscanf(text.c_str(), "%d%c", &value, &end) != 1 || value < low || value > high)
    throw std::invalid_argument(flag + " wants a number from " + std::to_string(low) + " to " +
                                std::to_string(high) + ", not '" + text + "'");
  return value;
}

COleDateTime DateTimeValue(const std::string& flag, const std::string& text) {
  std::optional<COleDateTime> t = replay::ParseDateTime(text);
  if (!t) throw std::invalid_argument(flag + " wants 'YYYY-MM-DD HH:MM', not '" + text + "'");
  return *t;
}

}  // namespace

CheckOptions ParseCheckOptions(const std::vector<std::string>& args) {
  CheckOptions o;
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
    if (arg == "--out") o.out_dir = value();
    else if (arg == "--cty") o.cty_file = value();
    else if (arg == "--start") o.start = DateTimeValue(arg, value());
    else if (arg == "--end") o.end = DateTimeValue(arg, value());
    else if (arg == "--window-minutes") o.window_minutes = NumberValue(arg, value(), 0, 1440);
    else if (arg == "--penalty") o.penalty = NumberValue(arg, value(), 0, 100);
    else if (arg == "-j") o.jobs = NumberValue(arg, value(), 1, 256);
    else if (arg == "--rulings") o.rulings_file = value();
    else if (arg == "--quiet") o.quiet = true;
    else if (arg == "--no-clock-offsets") o.clock_offsets = false;
    else if (arg == "--uniques") {
      const std::string& v = value();
      if (v != "keep" && v != "remove")
        throw std::invalid_argument("--uniques wants keep or remove, not '" + v + "'");
      o.keep_uniques = v == "keep";
    } else if (arg.size() > 1 && arg[0] == '-') {
      throw std::invalid_argument("unknown option " + arg);
    } else {
      o.inputs.push_back(arg);
    }
  }
  if (o.inputs.empty()) throw std::invalid_argument("no log or folder given");
  if (o.out_dir.empty()) throw std::invalid_argument("no --out DIR given");
  return o;
}

}  // namespace velmora::check
