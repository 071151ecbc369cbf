#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>

namespace velmora::robot {

// At most `per_minute` events a minute from one client address, over a
// sliding minute. Addresses that were quiet for a minute are forgotten, so
// the table stays as small as the last minute's clients.
class RateLimiter {
 public:
  explicit RateLimiter(int per_minute) : per_minute_(per_minute) {}

  // True when the event is allowed (and counted); else `retry_after` gets
  // the seconds until it would be.
  bool Allow(const std::string& address, std::int64_t now_seconds, int& retry_after);

 private:
  void Forget(std::int64_t now_seconds);

  int per_minute_;
  std::mutex mutex_;
  std::unordered_map<std::string, std::deque<std::int64_t>> events_;
  std::int64_t last_sweep_ = 0;
};

}  // namespace velmora::robot
