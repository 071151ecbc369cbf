#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "robot/outbox.h"
#include "robot/smtp_transport.h"

namespace velmora::robot {

struct MailerOptions {
  std::function<std::int64_t()> now;           // unix seconds; the system clock when empty
  std::function<void(const std::string&)> log;  // one line, no newline; stderr when empty
  // The pause after a failed try doubles from the first up to the longest.
  std::int64_t first_pause_seconds = 30;
  std::int64_t longest_pause_seconds = 3600;
  // How often the idle thread looks for mails whose next try has come.
  std::chrono::milliseconds poll_interval = std::chrono::seconds(30);
  int batch = 20;  // mails taken from the outbox at a time
};

// Takes the due mails out of the outbox and hands each to the transport, on
// a thread of its own. A mail the relay refuses stays in the outbox and is
// tried again after a growing pause, so a receipt outlives a relay that is
// down. A fault of the outbox or the transport is logged and the next round
// goes on; nothing escapes the thread.
//
// A mail whose MarkSent fails after the relay took it is sent again later:
// a receipt twice is better than none.
class Mailer {
 public:
  Mailer(Outbox& outbox, MailTransport& transport, MailerOptions options = {});
  ~Mailer();  // stops the thread
  Mailer(const Mailer&) = delete;
  Mailer& operator=(const Mailer&) = delete;

  void Start();
  // Returns once the thread has ended: at once while it waits, after the
  // current send (bounded by the transport's timeout) while it sends.
  void Stop();
  // A mail was queued: look at once instead of at the next poll. Any thread.
  void Wake();
  // One round: sends what is due now, returns how many the relay took.
  int RunOnce();

  // The pause after a mail's failed try number `attempts` + 1.
  std::int64_t PauseAfter(int attempts) const;

 private:
  bool SendOne(const OutgoingMail& mail);
  void Loop();
  bool Stopping();
  void Log(const std::string& line);

  Outbox& outbox_;
  MailTransport& transport_;
  MailerOptions options_;
  std::mutex round_mutex_;  // one round at a time, thread or RunOnce
  std::mutex mutex_;        // guards stop_ and wake_
  std::condition_variable signal_;
  bool stop_ = false;
  bool wake_ = false;
  std::thread thread_;
};

}  // namespace velmora::robot
