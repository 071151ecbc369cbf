#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "check/check_options.h"
#include "check/check_run.h"
#include "velmora_version.h"

int main(int argc, char** argv) {
  using namespace velmora::check;
  std::vector<std::string> args(argv + 1, argv + argc);
  CheckOptions options;
  try {
    options = ParseCheckOptions(args);
  } catch (const std::invalid_argument& e) {
    std::cerr << "velmora-check: " << e.what() << "\n" << kCheckUsage;
    return kCheckBadInput;
  }
  if (options.help) {
    std::cout << kCheckUsage;
    return kCheckOk;
  }
  if (options.version) {
    std::cout << "velmora-check " << VELMORA_VERSION_TEXT << "\n";
    return kCheckOk;
  }
  return RunCheck(options, std::cerr);
}
