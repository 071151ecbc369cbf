#include "robot/organiser_gate.h"

#include <sodium.h>

#include "robot/secrets.h"

namespace velmora::robot {

int OrganiserGate::PauseAfter(int failures) {
  if (failures <= 0) return 0;
  return failures >= 9 ? 300 : std::min(300, 1 << (failures - 1));
}

LoginResult OrganiserGate::Login(const std::string& password, const std::string& organiser,
                                 const std::string& address, std::int64_t now) {
  LoginResult result;
  {
    std::lock_guard lock(mutex_);
    Failures& f = failures_[address];
    if (now < f.next_allowed) {
      result.retry_after = static_cast<int>(f.next_allowed - now);
      result.message = "too many failed logins from this address: wait " +
                       std::to_string(result.retry_after) + " s";
      return result;
    }
  }
  std::optional<std::string> hash = submissions_.Setting(kPasswordKey);
  if (!hash || password.empty() || password.size() > 1024 || !PasswordMatches(*hash, password)) {
    std::lock_guard lock(mutex_);
    if (failures_.size() > 100000)  // a guess from many addresses: forget the paused-out ones
      std::erase_if(failures_, [now](const auto& entry) { return entry.second.next_allowed < now; });
    Failures& f = failures_[address];
    f.next_allowed = now + PauseAfter(++f.count);
    result.message = "wrong password";
    return result;
  }
  {
    std::lock_guard lock(mutex_);
    failures_.erase(address);
  }
  result.ok = true;
  result.session_id = RandomHex(32);
  result.csrf = RandomHex(32);
  store_.AddSession(Sha256Hex(result.session_id),
                    {organiser.empty() ? "organiser" : organiser, result.csrf,
                     now + kSessionSeconds},
                    now);
  return result;
}

std::optional<Session> OrganiserGate::Authorize(const std::string& session_id,
                                                const std::optional<std::string>& csrf,
                                                std::int64_t now) {
  if (session_id.size() != 64) return std::nullopt;
  std::optional<Session> session = store_.FindSession(Sha256Hex(session_id), now);
  if (!session || !csrf) return session;
  if (csrf->size() != session->csrf.size() ||
      sodium_memcmp(csrf->data(), session->csrf.data(), csrf->size()) != 0)
    return std::nullopt;
  return session;
}

void OrganiserGate::Logout(const std::string& session_id) {
  if (session_id.size() == 64) store_.DeleteSession(Sha256Hex(session_id));
}

}  // namespace velmora::robot
