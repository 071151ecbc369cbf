#pragma once

#include <string>
#include <vector>

namespace velmora::robot {

struct RobotOptions {
  std::string data_dir;
  std::string listen;       // HOST:PORT; empty: the configuration's
  std::string config_file;  // empty: the defaults
  std::string backup_file;  // --backup: copy the database there and end
  bool set_password = false;
  bool help = false, version = false;
};

extern const char kRobotUsage[];

// Throws std::invalid_argument with a message for the user.
RobotOptions ParseRobotOptions(const std::vector<std::string>& args);

}  // namespace velmora::robot
