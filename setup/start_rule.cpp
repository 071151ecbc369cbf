#include "setup/start_rule.h"

namespace velmora {

bool HostShowsOwnSetup(const std::string& host_version) {
  for (const char* version : {"2.18", "2.17", "2.16", "2.15", "2.14", "2.14R"})
    if (host_version == version) return true;
  return false;
}

void ApplyStartRule(Settings& settings, WindowSystem& windows,
                    const std::string& host_version, bool export_reset) {
  if (export_reset) settings.WriteText("Start", "1");
  if (settings.ReadNumber("Start") != 0) {
    settings.WriteText("Start", "0");
    return;
  }
  if (windows.SetupWindowExists()) return;
  if (!HostShowsOwnSetup(host_version)) windows.StartSetupThread();
  settings.WriteText("Start", "1");
}

}  // namespace velmora
