#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/posix/posix_file_system.h"
#include "platform/posix/stop_signals.h"
#include "robot/robot_app.h"
#include "robot/robot_options.h"
#include "robot/smtp_transport.h"
#include "velmora_version.h"

int main(int argc, char** argv) {
  using namespace velmora::robot;
  velmora::StopSignals stop_signals;  // before any thread
  velmora::robot::CurlGlobal curl;
  RobotOptions options;
  try {
    options = ParseRobotOptions(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::invalid_argument& e) {
    std::cerr << "velmora-robot: " << e.what() << "\n" << kRobotUsage;
    return 2;
  }
  if (options.help) {
    std::cout << kRobotUsage;
    return 0;
  }
  if (options.version) {
    std::cout << "velmora-robot " << VELMORA_VERSION_TEXT << "\n";
    return 0;
  }
  velmora::PosixFileSystem files;
  return RunRobot(options, files, stop_signals, std::cin, std::cout, std::cerr);
}
