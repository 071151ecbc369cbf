#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/posix/posix_file_system.h"
#include "robot/organiser_store.h"
#include "robot/robot_config.h"

namespace velmora::robot {

// Runs velmora-check's library in this process, on a thread of its own, over
// the newest counted log of each call with the rulings in force and the
// contest's settings. The run is stored whole when it ends (results, every
// report, every QSO's verdict) or marked failed; one run at a time.
class CheckRunner {
 public:
  using Clock = std::function<std::int64_t()>;

  CheckRunner(const RobotConfig& config, OrganiserStore& store, std::string work_dir,
              Clock clock);
  ~CheckRunner();

  // The new run's id, or nullopt when a run is going on.
  std::optional<std::int64_t> Start(const std::string& organiser);
  // Blocks until no run is going on.
  void WaitIdle();

 private:
  void Run(std::int64_t run);
  std::optional<std::string> RunIn(std::int64_t run, const std::string& dir);

  const RobotConfig& config_;
  OrganiserStore& store_;
  std::string work_dir_;
  Clock clock_;
  PosixFileSystem files_;  // reads back what the check wrote
  std::mutex mutex_;
  std::condition_variable idle_;
  bool running_ = false;
  std::thread thread_;
  std::vector<std::thread> finished_;  // runs answered, still removing their files
};

}  // namespace velmora::robot
