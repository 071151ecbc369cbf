#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "engine/ole_date_time.h"

// One contact as a log file holds it, ready to be replayed into the engine.
struct LogQso {
  int line = 0;                  // 1-based line of the record's start in the file
  std::string call, band, mode;  // band like "20m"; mode as written in the log
  std::string rst_sent, nr_sent, rst_rcvd, nr_rcvd;
  unsigned int freq_hz = 0;
  COleDateTime time;
  std::string own_call;  // per-QSO own call when the log gives one, else empty
};

// A record that cannot be used: reported and skipped.
struct LogProblem {
  int line;
  std::string message;
};

struct ParsedLog {
  std::string own_call;             // the log's own call, first one seen
  std::vector<LogQso> qsos;         // in file order
  std::vector<LogProblem> skipped;  // records that could not be used, with why
};

// Input that is not a log of that format at all; the message reads
// "FILE:LINE: what is wrong".
struct LogReadError : std::runtime_error {
  using std::runtime_error::runtime_error;
};
