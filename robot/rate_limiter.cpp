#include "robot/rate_limiter.h"

namespace velmora::robot {

bool RateLimiter::Allow(const std::string& address, std::int64_t now, int& retry_after) {
  std::lock_guard lock(mutex_);
  if (now - last_sweep_ >= 60) Forget(now);
  std::deque<std::int64_t>& times = events_[address];
  while (!times.empty() && times.front() <= now - 60) times.pop_front();
  if (static_cast<int>(times.size()) >= per_minute_) {
    retry_after = static_cast<int>(times.front() + 60 - now);
    if (retry_after < 1) retry_after = 1;
    return false;
  }
  times.push_back(now);
  return true;
}

void RateLimiter::Forget(std::int64_t now) {
  last_sweep_ = now;
  for (auto it = events_.begin(); it != events_.end();)
    it = !it->second.empty() && it->second.back() > now - 60 ? std::next(it) : events_.erase(it);
}

}  // namespace velmora::robot
