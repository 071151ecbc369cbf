#pragma once

#include <csignal>

namespace velmora {

// SIGINT and SIGTERM taken from their default action: made at the start of
// main, before any thread, so every later thread has them blocked and one
// thread takes them with Wait(). A server stops on them in order.
class StopSignals {
 public:
  StopSignals();
  // Blocks until one of the two arrives; returns its number.
  int Wait();

 private:
  sigset_t set_;
};

}  // namespace velmora
