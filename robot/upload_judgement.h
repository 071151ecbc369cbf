#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "readers/country_file.h"
#include "robot/robot_config.h"

namespace velmora::robot {

// One problem of an upload at its line (0: the file as a whole). The message
// says in plain words what is wrong and, for a QSO line, whether it counts.
struct Finding {
  int line = 0;
  std::string message;
};

struct BandFigures {
  std::string band;
  int qsos = 0;
  long long points = 0;
  int mults = 0;
};

// What the robot makes of an uploaded log: every problem at once, and the
// score by the plug-in's own rules beside the one the log claims.
struct Judgement {
  std::vector<Finding> errors;    // any of them refuses the log
  std::vector<Finding> warnings;  // the log is taken; each says what counts
  std::string call;               // the CALLSIGN: header, upper case
  std::string category;           // as velmora-check names it
  int qso_lines = 0;              // QSO: lines read before END-OF-LOG:
  int qsos = 0;                   // QSOs the plug-in counts
  long long points = 0;
  int mults = 0;
  long long score = 0;
  std::vector<BandFigures> bands;
  std::optional<long long> claimed;  // CLAIMED-SCORE:, when it is a number
  std::vector<std::string> worked;   // the calls of the QSO lines read, once each, sorted

  bool Refused() const { return !errors.empty(); }
};

// Judges the bytes of an upload by the reader and the plug-in's rules that
// score and check it. Never corrects anything: what it does not take, it says.
Judgement JudgeUpload(std::string_view bytes, const RobotConfig& config,
                      const CountryFile& cty);

// A call sign as a log may carry it: letters, digits and '/', with at least
// one letter and one digit ("OK1ZEB", "DL/OK1ZEB/P").
bool IsCallSign(std::string_view text);

}  // namespace velmora::robot
