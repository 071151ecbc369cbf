#pragma once

namespace velmora::replay {

// Makes the tool's one module object, and the replay's windows with it, anew:
// what an earlier run left in the process (the page answer that setVersion
// turns on for good, the settings read, the messages shown) is gone. The
// tool replays once per process; a test calls it before each replay.
void RenewReplayModule();

}  // namespace velmora::replay
