#pragma once

#include <ostream>

#include "replay/replay_options.h"

namespace velmora::replay {

// Exit codes of the tool.
constexpr int kReplayOk = 0;
constexpr int kReplayFailed = 1;     // a file of ours could not be written
constexpr int kReplayBadInput = 2;   // usage, unreadable or malformed input

// Reads the log and the country file, replays the log through the plug-in's
// entry points in `options.dir` the way the host does, prints the result text
// on `out` and the problems and a summary on `err`.
int RunReplay(const ReplayOptions& options, std::ostream& out, std::ostream& err);

}  // namespace velmora::replay
