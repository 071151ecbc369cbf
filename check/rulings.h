#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "check/contest.h"

namespace velmora::check {

struct RulingLine {
  int file_line = 0;
  std::string log;  // the entrant's call
  std::int32_t line = 0;
  Verdict verdict = Verdict::kOk;
  std::string reason;
};

// Reads the organisers' rulings, one a line: "log,line,verdict,reason" (the
// reason may hold commas; a first line "log,line,..." and lines starting with
// '#' are skipped). Throws std::invalid_argument("FILE:LINE: what").
std::vector<RulingLine> ParseRulings(std::string_view text, const std::string& file_name);

// Applies the rulings over the check's verdicts, in file order (a later ruling
// on the same line wins); returns a message for each ruling that names no
// QSO line of a log.
std::vector<std::string> ApplyRulings(Contest& contest, const std::vector<RulingLine>& rulings,
                                      const std::string& file_name);

}  // namespace velmora::check
