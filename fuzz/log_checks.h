#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "readers/log_qso.h"

namespace velmora {

// Every QSO and every skipped record names a line of the file.
inline void RequireLinesInFile(const ParsedLog& log, std::string_view text) {
  int lines = 1;
  for (char c : text) lines += c == '\n' ? 1 : 0;
  auto require = [lines](int line) {
    if (line >= 1 && line <= lines) return;
    std::fprintf(stderr, "invariant broken: line %d of a file of %d lines\n", line, lines);
    std::abort();
  };
  for (const LogQso& qso : log.qsos) require(qso.line);
  for (const LogProblem& problem : log.skipped) require(problem.line);
}

}  // namespace velmora
