#include "platform/posix/stop_signals.h"

#include <pthread.h>

namespace velmora {

StopSignals::StopSignals() {
  sigemptyset(&set_);
  sigaddset(&set_, SIGINT);
  sigaddset(&set_, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &set_, nullptr);
}

int StopSignals::Wait() {
  int signal = 0;
  while (sigwait(&set_, &signal) != 0) {
  }
  return signal;
}

}  // namespace velmora
