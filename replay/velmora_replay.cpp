// velmora-replay: replays a contest log through the plug-in the way the host
// logger does and prints the result.

#include <iostream>
#include <stdexcept>

#include "replay/replay_options.h"
#include "replay/replay_session.h"
#include "velmora_version.h"

int main(int argc, char** argv) {
  using namespace velmora::replay;
  ReplayOptions options;
  try {
    options = ParseReplayOptions(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::invalid_argument& e) {
    std::cerr << "velmora-replay: " << e.what() << "\n" << kReplayUsage;
    return kReplayBadInput;
  }
  if (options.help) {
    std::cout << kReplayUsage;
    return 0;
  }
  if (options.version) {
    std::cout << "velmora-replay " VELMORA_VERSION_TEXT "\n";
    return 0;
  }
  return RunReplay(options, std::cout, std::cerr);
}
