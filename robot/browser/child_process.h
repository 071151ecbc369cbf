#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace velmora::robot::browser {

using Deadline = std::chrono::steady_clock::time_point;

inline Deadline After(std::chrono::milliseconds span) {
  return std::chrono::steady_clock::now() + span;
}

// A program the browser tests start: the robot or the browser's driver. It
// runs in a process group of its own, dies with the test program, and is
// always waited for: Stop() asks it to end with SIGTERM and kills the whole
// group when it does not.
class ChildProcess {
 public:
  struct Options {
    std::vector<std::string> argv;  // argv[0] is the program's path
    // Set or replaced in the child's environment; an empty value removes it.
    std::map<std::string, std::string> environment;
    bool pipe_stdout = false;  // else stdout goes with stderr
    std::string stderr_file;   // empty: the test's own stderr
  };

  ChildProcess() = default;
  ~ChildProcess() { Stop(); }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Throws std::runtime_error when the program cannot be started.
  void Start(const Options& options);

  // The next line of the child's stdout, without its '\n'; nothing at the
  // end of its output or at the deadline (`timed_out` tells which).
  std::optional<std::string> ReadLine(Deadline deadline, bool& timed_out);

  // Whether it has ended; reaps it when it has.
  bool Exited();
  // Ends it and its group; the exit status as waitpid gives it (-1 when it
  // was never started).
  int Stop(std::chrono::milliseconds grace = std::chrono::seconds(5));

  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  int stdout_fd_ = -1;
  std::string buffered_;
  bool reaped_ = false;
  int status_ = -1;
};

// Makes this program the reaper of its orphaned descendants: the helpers a
// browser leaves behind come back to it instead of to init.
void BecomeSubreaper();

// Ends every process this program is the parent of, other than those in
// `keep`: SIGTERM, then SIGKILL after `grace`, each one waited for. Returns
// how many there were.
int ReapStrayChildren(const std::vector<pid_t>& keep, std::chrono::milliseconds grace);

// A TCP port on 127.0.0.1 that was free a moment ago.
int PickFreePort();

}  // namespace velmora::robot::browser
