#pragma once

#include <string>

#include "platform/window_system.h"
#include "setup/settings.h"

namespace velmora {

// Keeps the "Start" toggle at every reset: a stored 1 is turned to 0 and
// nothing opens; a stored 0 opens the setup window (unless one is open, or
// the host is a version that shows its own), and stores 1. An export reset
// stores 1 first, so no setup window opens during an export.
void ApplyStartRule(Settings& settings, WindowSystem& windows,
                    const std::string& host_version, bool export_reset);

bool HostShowsOwnSetup(const std::string& host_version);

}  // namespace velmora
