#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/ole_date_time.h"

namespace velmora::check {

// What the command line of velmora-check asked for.
struct CheckOptions {
  std::vector<std::string> inputs;  // log files and folders
  std::string out_dir;
  std::string cty_file = "/usr/share/hamradio-files/cty.dat";
  std::optional<COleDateTime> start, end;
  int window_minutes = 5;
  int serial_window_minutes = 30;
  bool keep_uniques = true;
  int penalty = 0;
  int jobs = 1;
  bool quiet = false;
  bool clock_offsets = true;
  std::string rulings_file;  // empty = none
  std::string calls_file;    // known calls, one a line; empty = none
  // Busts told by the contest's own figures (see InferOptions).
  int bust_rare_holders = 2, bust_common_holders = 5;
  int bust_serial_tolerance = 2, bust_serial_window = 60;
  bool help = false, version = false;
};

// Parses argv; throws std::invalid_argument with a message for the user.
CheckOptions ParseCheckOptions(const std::vector<std::string>& args);

extern const char kCheckUsage[];

}  // namespace velmora::check
