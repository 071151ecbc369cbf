#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

#include "robot/organiser_store.h"
#include "robot/submission_store.h"

namespace velmora::robot {

// The setting that holds the organisers' password, hashed with argon2id.
constexpr const char* kPasswordKey = "organiser_password_hash";

struct LoginResult {
  bool ok = false;
  std::string session_id;  // the cookie's value; only its hash is stored
  std::string csrf;
  int retry_after = 0;     // seconds, when refused for the pause
  std::string message;
};

// The organisers' door: the password, a pause that grows after each failed
// login from an address, sessions that end, and the CSRF token every change
// must bring.
class OrganiserGate {
 public:
  static constexpr std::int64_t kSessionSeconds = 8 * 3600;

  OrganiserGate(SubmissionStore& submissions, OrganiserStore& store)
      : submissions_(submissions), store_(store) {}

  LoginResult Login(const std::string& password, const std::string& organiser,
                    const std::string& address, std::int64_t now);
  // The session of the cookie's id; with `csrf` given (every change), only
  // when it is the session's token.
  std::optional<Session> Authorize(const std::string& session_id,
                                   const std::optional<std::string>& csrf, std::int64_t now);
  void Logout(const std::string& session_id);

  // The pause after `failures` failed logins: 1 s, doubling, at most 5 min.
  static int PauseAfter(int failures);

 private:
  struct Failures {
    int count = 0;
    std::int64_t next_allowed = 0;
  };

  SubmissionStore& submissions_;
  OrganiserStore& store_;
  std::mutex mutex_;
  std::unordered_map<std::string, Failures> failures_;
};

}  // namespace velmora::robot
