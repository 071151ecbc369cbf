#pragma once

namespace velmora::testing {

// Waits for `event` (a HANDLE) while dispatching the calling thread's window
// messages, as a host UI thread does: a single-threaded apartment must pump
// for calls from other threads to reach its objects. False on timeout.
bool PumpMessagesUntil(void* event, unsigned long timeout_ms);

}  // namespace velmora::testing
