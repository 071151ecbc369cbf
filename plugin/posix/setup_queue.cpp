#include "plugin/posix/setup_queue.h"

#include <utility>

namespace velmora {

bool SetupQueue::Post(SetupMessage message) {
  std::lock_guard lock(mutex_);
  if (closed_) return false;
  entries_.push_back({std::move(message), nullptr});
  arrived_.notify_one();
  return true;
}

bool SetupQueue::Send(SetupMessage message, Clock::time_point deadline) {
  auto handled = std::make_shared<bool>(false);
  std::unique_lock lock(mutex_);
  if (closed_) return false;
  entries_.push_back({std::move(message), handled});
  arrived_.notify_one();
  handled_.wait_until(lock, deadline, [&] { return *handled || closed_; });
  return *handled;
}

SetupMessage SetupQueue::Take() {
  std::unique_lock lock(mutex_);
  arrived_.wait(lock, [&] { return !entries_.empty(); });
  Entry entry = std::move(entries_.front());
  entries_.pop_front();
  current_ = std::move(entry.handled);
  return std::move(entry.message);
}

void SetupQueue::Finish() {
  std::lock_guard lock(mutex_);
  if (current_) *current_ = true;
  current_.reset();
  handled_.notify_all();
}

void SetupQueue::Close() {
  std::lock_guard lock(mutex_);
  closed_ = true;
  entries_.clear();
  handled_.notify_all();
}

}  // namespace velmora
