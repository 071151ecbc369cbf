#pragma once

#include <chrono>

#include "setup/window_position.h"

namespace velmora {

// How the host's thread ends the setup thread, the same on every platform: it
// asks the setup thread to close the tool windows, in this order, then the
// setup window, and waits at most kSetupShutdownBound for the thread to end.
// A thread still busy after that is let go rather than waited for.
inline constexpr WindowKind kToolWindowsClosedFirst[] = {WindowKind::kMultiplier,
                                                         WindowKind::kDxccInfo};
inline constexpr std::chrono::seconds kSetupShutdownBound{5};

}  // namespace velmora
