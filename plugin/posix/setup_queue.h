#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

#include "plugin/posix/setup_message.h"

namespace velmora {

// The setup thread's message queue. Any thread posts or sends; the setup
// thread takes the messages in order and marks each one handled. Once closed,
// the queue refuses messages and releases every waiting sender.
class SetupQueue {
 public:
  using Clock = std::chrono::steady_clock;

  // False when the queue is closed.
  bool Post(SetupMessage message);
  // Waits until the setup thread has handled the message, at most until
  // `deadline`. False when the queue is closed first or time runs out. Never
  // from the setup thread.
  bool Send(SetupMessage message, Clock::time_point deadline);

  // Setup thread only: the next message, waiting for one.
  SetupMessage Take();
  // Setup thread only: the message taken last is handled; its sender returns.
  void Finish();
  // Setup thread only: no message is taken any more.
  void Close();

 private:
  struct Entry {
    SetupMessage message;
    std::shared_ptr<bool> handled;  // set for a sent message; guarded by mutex_
  };

  std::mutex mutex_;
  std::condition_variable arrived_;
  std::condition_variable handled_;
  std::deque<Entry> entries_;      // guarded by mutex_
  std::shared_ptr<bool> current_;  // guarded by mutex_
  bool closed_ = false;            // guarded by mutex_
};

}  // namespace velmora
