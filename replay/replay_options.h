#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/ole_date_time.h"

namespace velmora::replay {

// What the command line asked for.
struct ReplayOptions {
  std::string log_file;
  std::string call;      // own call; empty = from the log
  std::optional<COleDateTime> start, end;
  std::string cty_file = "/usr/share/hamradio-files/cty.dat";
  std::string dir = ".";  // working folder of the plug-in
  std::string html_file;  // empty = no page
  std::string report_file;  // empty = no contest report
  std::string scenario_file;  // empty = the calls are not written down
  int break_minutes = 30;   // the shortest gap the report calls a break
  bool cabrillo = false;
  // Header values typed into the Cabrillo form, by form field name
  // ("Name", "Operators", "CategoryPower" ...); absent = as stored.
  std::vector<std::pair<std::string, std::string>> header;
  bool help = false;     // --help, -h: print the usage, nothing else
  bool version = false;  // --version: print the version, nothing else
};

// Parses argv; throws std::invalid_argument with a message for the user.
// --help, -h or --version ends the parse: what follows is not looked at.
ReplayOptions ParseReplayOptions(const std::vector<std::string>& args);

extern const char kReplayUsage[];

}  // namespace velmora::replay
