#include "robot/mailer.h"

#include <algorithm>
#include <exception>
#include <iostream>
#include <utility>
#include <vector>

namespace velmora::robot {

namespace {

std::int64_t SystemNow() {
  using namespace std::chrono;
  return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

}  // namespace

Mailer::Mailer(Outbox& outbox, MailTransport& transport, MailerOptions options)
    : outbox_(outbox), transport_(transport), options_(std::move(options)) {
  if (!options_.now) options_.now = &SystemNow;
  options_.batch = std::max(options_.batch, 1);
}

Mailer::~Mailer() { Stop(); }

void Mailer::Start() {
  if (thread_.joinable()) return;
  thread_ = std::thread(&Mailer::Loop, this);
}

void Mailer::Stop() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  signal_.notify_all();
  if (thread_.joinable()) thread_.join();
  std::lock_guard lock(mutex_);
  stop_ = false;
  wake_ = false;
}

void Mailer::Wake() {
  {
    std::lock_guard lock(mutex_);
    wake_ = true;
  }
  signal_.notify_all();
}

std::int64_t Mailer::PauseAfter(int attempts) const {
  std::int64_t pause = options_.first_pause_seconds;
  for (int i = 0; i < attempts && pause < options_.longest_pause_seconds; ++i) pause *= 2;
  return std::min(pause, options_.longest_pause_seconds);
}

// A fault of the outbox ends the round; its mails come again in the next.
int Mailer::RunOnce() {
  std::lock_guard lock(round_mutex_);
  int sent = 0;
  try {
    std::vector<OutgoingMail> due = outbox_.Due(options_.now(), options_.batch);
    for (const OutgoingMail& mail : due) {
      if (Stopping()) break;
      if (SendOne(mail)) ++sent;
    }
  } catch (const std::exception& fault) {
    Log(std::string("mailer: round ended by a fault: ") + fault.what());
  } catch (...) {
    Log("mailer: round ended by an unknown fault");
  }
  return sent;
}

bool Mailer::SendOne(const OutgoingMail& mail) {
  std::string error;
  bool sent = transport_.Send(mail, error);
  std::int64_t now = options_.now();  // a send can take the whole timeout
  if (sent) {
    outbox_.MarkSent(mail.id, now);
    return true;
  }
  std::int64_t pause = PauseAfter(mail.attempts);
  outbox_.MarkFailed(mail.id, now + pause, error);
  Log("mailer: mail " + std::to_string(mail.id) + " not sent (try " +
      std::to_string(mail.attempts + 1) + "), again in " + std::to_string(pause) +
      " s: " + error);
  return false;
}

// A full batch all sent means more may wait: the next round follows at once.
// Otherwise the thread waits for Wake, Stop or the poll interval.
void Mailer::Loop() {
  try {
    for (;;) {
      int sent = RunOnce();
      std::unique_lock lock(mutex_);
      if (sent < options_.batch)
        signal_.wait_for(lock, options_.poll_interval, [this] { return stop_ || wake_; });
      if (stop_) return;
      wake_ = false;
    }
  } catch (...) {
    Log("mailer: thread ended by an unknown fault");
  }
}

bool Mailer::Stopping() {
  std::lock_guard lock(mutex_);
  return stop_;
}

void Mailer::Log(const std::string& line) {
  try {
    if (options_.log)
      options_.log(line);
    else
      std::cerr << (line + "\n") << std::flush;
  } catch (...) {
    // Nowhere left to tell of it.
  }
}

}  // namespace velmora::robot
