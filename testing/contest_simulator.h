#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::testing {

// A simulated contest: stations on band schedules work each other with
// serial counters; every QSO goes into both logs with a minute of clock
// jitter, then errors are injected and their truth kept. Same options, same
// contest, on every machine.
struct SimulatorOptions {
  std::uint64_t seed = 1;
  int stations = 300;
  int qsos_per_station = 60;   // about; each QSO is in two logs
  int no_log_per_mille = 60;   // stations that send no log
  int clean_per_mille = 50;    // stations kept free of errors (their partners all send logs)
  int bust_per_mille = 15;     // QSO lines with the other call copied wrong
  int serial_per_mille = 15;   // QSO lines with the serial copied wrong
  int unlogged_per_mille = 15; // QSOs one side did not log
  int dupe_per_mille = 5;      // QSO lines logged a second time later
  int local_time_logs = 1;     // logs whose clock is on local time (+1 or +2 hours)
  int minutes_off_logs = 1;    // logs whose clock is 8 to 20 minutes off
};

// What the check should make of one QSO line.
struct SimTruth {
  int line = 0;
  std::string verdict;       // "ok", "nil", "busted-call", "bad-exchange", "dupe", "unique", "unverified"
  std::string correct_call;  // busted-call: the call that was worked
};

struct SimLog {
  std::string call;
  std::string file_name;  // CALL.log, '/' as '_'
  std::string text;       // the Cabrillo file
  std::vector<SimTruth> truth;  // one per QSO line, in file order
  int clock_offset = 0;   // minutes the log's clock was off
  bool clean = false;     // no error touched this log's QSOs
};

struct SimContest {
  std::vector<SimLog> logs;       // the logs sent in
  std::vector<std::string> silent;  // stations that worked the contest but sent no log
};

SimContest SimulateContest(const SimulatorOptions& options);

}  // namespace velmora::testing
