#pragma once

#include <iosfwd>

#include "platform/file_system.h"
#include "platform/posix/stop_signals.h"
#include "robot/robot_options.h"

namespace velmora::robot {

// The robot's composition: configuration, country file, database, desk,
// mailer and HTTP server, run until a stop signal. Or one of the commands
// that set the password or copy the database. Returns the exit code.
int RunRobot(const RobotOptions& options, FileSystem& files, StopSignals& stop_signals,
             std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace velmora::robot
