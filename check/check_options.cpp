#include "check/check_options.h"

#include <stdexcept>

#include "readers/argument_reader.h"

namespace velmora::check {

const char kCheckUsage[] =
    "usage: velmora-check LOG_OR_FOLDER... --out DIR [options]\n"
    "  LOG_OR_FOLDER       Cabrillo logs, or folders of them (*.log, *.cbr)\n"
    "  --out DIR           where qsos.csv, results.csv, results.html, reports/ go\n"
    "  --cty FILE          country file (default: /usr/share/hamradio-files/cty.dat)\n"
    "  --start 'YYYY-MM-DD HH:MM'  contest start (default: the first QSO of all logs)\n"
    "  --end 'YYYY-MM-DD HH:MM'    contest end (default: the last QSO of all logs)\n"
    "  --window-minutes N  largest time difference of two QSOs that match (default: 5)\n"
    "  --serial-window-minutes N   ... of two QSOs where a serial was copied as sent\n"
    "                      (default: 30; at most --window-minutes: none beyond it)\n"
    "  --uniques keep|remove       whether uniques count (default: keep)\n"
    "  --penalty N         more QSOs' points taken per nil and busted call (default: 0)\n"
    "  --rulings FILE      the organisers' rulings: log,line,verdict,reason\n"
    "  --no-clock-offsets  take no clock offset out\n"
    "  --calls FILE        known calls, one a line (# comments): never taken for busts,\n"
    "                      and a known call with the serial typed after it is a bust\n"
    "  --bust-rare-holders N     a call held by at most N logs may be a bust (default: 2)\n"
    "  --bust-common-holders N   of a call held by at least N logs (default: 5)\n"
    "  --bust-serial-tolerance N when the serial is within N of that call's (default: 2)\n"
    "  --bust-serial-window N    judged on that call's serials within N minutes (default: 60)\n"
    "  -j N                threads (default: 1)\n"
    "  --quiet             no progress on stderr\n"
    "  -h, --help          print this help and exit\n"
    "  --version           print the version and exit\n";

CheckOptions ParseCheckOptions(const std::vector<std::string>& args) {
  CheckOptions o;
  readers::ArgumentReader reader(args);
  while (reader.Next()) {
    const std::string& arg = reader.arg();
    if (reader.TakeHelpOrVersion(o.help, o.version)) return o;
    if (arg == "--out") o.out_dir = reader.Value();
    else if (arg == "--cty") o.cty_file = reader.Value();
    else if (arg == "--start") o.start = reader.DateTimeValue();
    else if (arg == "--end") o.end = reader.DateTimeValue();
    else if (arg == "--window-minutes") o.window_minutes = reader.NumberValue(0, 1440);
    else if (arg == "--serial-window-minutes") o.serial_window_minutes = reader.NumberValue(0, 1440);
    else if (arg == "--penalty") o.penalty = reader.NumberValue(0, 100);
    else if (arg == "-j") o.jobs = reader.NumberValue(1, 256);
    else if (arg == "--rulings") o.rulings_file = reader.Value();
    else if (arg == "--calls") o.calls_file = reader.Value();
    else if (arg == "--bust-rare-holders") o.bust_rare_holders = reader.NumberValue(0, 1000000);
    else if (arg == "--bust-common-holders") o.bust_common_holders = reader.NumberValue(1, 1000000);
    else if (arg == "--bust-serial-tolerance") o.bust_serial_tolerance = reader.NumberValue(0, 100000);
    else if (arg == "--bust-serial-window") o.bust_serial_window = reader.NumberValue(0, 1440);
    else if (arg == "--quiet") o.quiet = true;
    else if (arg == "--no-clock-offsets") o.clock_offsets = false;
    else if (arg == "--uniques") {
      const std::string& v = reader.Value();
      if (v != "keep" && v != "remove")
        throw std::invalid_argument("--uniques wants keep or remove, not '" + v + "'");
      o.keep_uniques = v == "keep";
    } else if (reader.IsUnknownFlag()) {
      throw std::invalid_argument("unknown option " + arg);
    } else {
      o.inputs.push_back(arg);
    }
  }
  if (o.inputs.empty()) throw std::invalid_argument("no log or folder given");
  if (o.out_dir.empty()) throw std::invalid_argument("no --out DIR given");
  if (o.start && o.end && o.end->LinearDays() < o.start->LinearDays())
    throw std::invalid_argument("--end is before --start");
  return o;
}

}  // namespace velmora::check
