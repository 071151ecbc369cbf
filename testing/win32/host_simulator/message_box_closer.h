#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace velmora::testing {

// Plays the operator for message boxes that a thread shows: a watcher thread
// finds each dialog box of the watched thread, records its caption and text,
// and presses OK.
class MessageBoxCloser {
 public:
  struct Seen {
    std::string caption;
    std::string text;
  };

  // Watches the calling thread.
  MessageBoxCloser();
  ~MessageBoxCloser();
  MessageBoxCloser(const MessageBoxCloser&) = delete;
  MessageBoxCloser& operator=(const MessageBoxCloser&) = delete;

  std::vector<Seen> seen() const;

 private:
  void Watch();

  unsigned long thread_id_;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::vector<Seen> seen_;  // guarded by mutex_
  std::thread watcher_;
};

}  // namespace velmora::testing
