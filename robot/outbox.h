#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora::robot {

// One mail waiting in the database until the relay has taken it.
struct OutgoingMail {
  std::int64_t id = 0;
  std::string to;       // one address, checked when the mail was queued
  std::string subject;  // one line, no CR or LF
  std::string body;     // plain text, LF line ends
  int attempts = 0;     // failed tries so far
};

// The mails the robot has promised to send. A mail is queued in the same
// transaction as what it tells of, so none is lost when the relay is down or
// the robot stops; the mailer takes them out once the relay has accepted them.
class Outbox {
 public:
  virtual ~Outbox() = default;
  // Mails whose next try is due at `now_unix` (seconds), oldest first.
  virtual std::vector<OutgoingMail> Due(std::int64_t now_unix, int limit) = 0;
  // The relay took the mail: it is never sent again.
  virtual void MarkSent(std::int64_t id, std::int64_t now_unix) = 0;
  // The relay refused or could not be reached: tried again at `next_try_unix`.
  virtual void MarkFailed(std::int64_t id, std::int64_t next_try_unix,
                          const std::string& error) = 0;
};

}  // namespace velmora::robot
