#include "robot/robot_options.h"

#include <stdexcept>

#include "readers/argument_reader.h"

namespace velmora::robot {

const char kRobotUsage[] =
    "usage: velmora-robot --data DIR [--listen HOST:PORT] [--config FILE]\n"
    "       velmora-robot --data DIR --set-password   (the new password on standard input)\n"
    "       velmora-robot --data DIR --backup FILE\n"
    "The contest's log robot: entrants upload their Cabrillo logs and get a receipt.\n"
    "  --data DIR          the folder of the robot's database (made when missing)\n"
    "  --listen HOST:PORT  the address to serve (default 127.0.0.1:8080; port 0: any)\n"
    "  --config FILE       the contest's settings (key = value lines)\n"
    "  --set-password      sets the organisers' password and ends\n"
    "  --backup FILE       copies the database, consistent while the robot runs, and ends\n"
    "  --help, --version\n";

RobotOptions ParseRobotOptions(const std::vector<std::string>& args) {
  RobotOptions o;
  readers::ArgumentReader reader(args);
  while (reader.Next()) {
    const std::string& arg = reader.arg();
    if (reader.TakeHelpOrVersion(o.help, o.version)) return o;
    if (arg == "--data") o.data_dir = reader.Value();
    else if (arg == "--listen") o.listen = reader.Value();
    else if (arg == "--config") o.config_file = reader.Value();
    else if (arg == "--backup") o.backup_file = reader.Value();
    else if (arg == "--set-password") o.set_password = true;
    else if (reader.IsUnknownFlag()) throw std::invalid_argument("unknown option " + arg);
    else throw std::invalid_argument("unexpected argument \"" + arg + "\"");
  }
  if (o.data_dir.empty()) throw std::invalid_argument("--data DIR is needed");
  if (o.set_password && !o.backup_file.empty())
    throw std::invalid_argument("--set-password and --backup are separate runs");
  return o;
}

}  // namespace velmora::robot
