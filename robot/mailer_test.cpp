#include "robot/mailer.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

namespace velmora::robot {
namespace {

using namespace std::chrono_literals;

class FakeOutbox : public Outbox {
 public:
  void Queue(std::int64_t id, std::int64_t due) {
    std::lock_guard lock(mutex);
    mails[id] = {{id, "op@example.net", "Receipt", "Thanks\n", 0}, due};
  }
  std::vector<OutgoingMail> Due(std::int64_t now, int limit) override {
    std::lock_guard lock(mutex);
    ++rounds;
    changed.notify_all();
    if (due_faults > 0 && due_faults--) throw std::runtime_error("database is locked");
    std::vector<OutgoingMail> due;
    for (auto& [id, entry] : mails)
      if (entry.next_try <= now && static_cast<int>(due.size()) < limit) due.push_back(entry.mail);
    return due;
  }
  void MarkSent(std::int64_t id, std::int64_t) override {
    std::lock_guard lock(mutex);
    if (sent_faults > 0 && sent_faults--) throw std::runtime_error("disk full");
    mails.erase(id);
    ++sent;
    changed.notify_all();
  }
  void MarkFailed(std::int64_t id, std::int64_t next_try, const std::string&) override {
    std::lock_guard lock(mutex);
    ++mails[id].mail.attempts;
    mails[id].next_try = next_try;
    next_tries.push_back(next_try);
  }
  bool WaitFor(const int& counter, int count) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, 2s, [&] { return counter >= count; });
  }

  struct Entry {
    OutgoingMail mail;
    std::int64_t next_try = 0;
  };
  std::mutex mutex;
  std::condition_variable changed;
  std::map<std::int64_t, Entry> mails;
  std::vector<std::int64_t> next_tries;
  int rounds = 0;
  int sent = 0;
  int due_faults = 0;
  int sent_faults = 0;
};

class FakeRelay : public MailTransport {
 public:
  bool Send(const OutgoingMail&, std::string& error) override {
    ++calls;
    if (failures_left == 0) return true;
    --failures_left;
    error = "Couldn't connect to server";
    return false;
  }
  std::atomic<int> calls = 0;
  int failures_left = 0;
};

class MailerTest : public ::testing::Test {
 protected:
  MailerOptions Options() {
    MailerOptions options;
    options.now = [this] { return now.load(); };
    options.log = [this](const std::string& line) { log.push_back(line); };
    return options;
  }
  FakeOutbox outbox;
  FakeRelay relay;
  std::atomic<std::int64_t> now = 1000;
  std::vector<std::string> log;
};

TEST_F(MailerTest, RelayDownThreeTriesThenUpSendsOnceAfterGrowingPauses) {
  Mailer mailer(outbox, relay, Options());
  relay.failures_left = 3;
  outbox.Queue(7, now);
  for (int round = 0; round < 3; ++round) {
    EXPECT_EQ(mailer.RunOnce(), 0);
    EXPECT_EQ(mailer.RunOnce(), 0) << "tried again before its pause ended";
    now = outbox.next_tries.back();
  }
  EXPECT_EQ(outbox.next_tries, (std::vector<std::int64_t>{1030, 1090, 1210}));
  EXPECT_EQ(outbox.mails[7].mail.attempts, 3);
  ASSERT_EQ(log.size(), 3u);
  EXPECT_NE(log[2].find("mail 7 not sent (try 3), again in 120 s: Couldn't connect"),
            std::string::npos);
  EXPECT_EQ(mailer.RunOnce(), 1);
  EXPECT_EQ(mailer.RunOnce(), 0);
  EXPECT_EQ(relay.calls, 4);
  EXPECT_EQ(outbox.sent, 1);
}

TEST_F(MailerTest, PauseDoublesUpToTheLongestWithoutOverflow) {
  Mailer mailer(outbox, relay, Options());
  EXPECT_EQ(mailer.PauseAfter(0), 30);
  EXPECT_EQ(mailer.PauseAfter(6), 1920);
  EXPECT_EQ(mailer.PauseAfter(7), 3600);
  EXPECT_EQ(mailer.PauseAfter(1000000), 3600);
}

TEST_F(MailerTest, OutboxFaultIsLoggedAndTheNextRoundGoesOn) {
  Mailer mailer(outbox, relay, Options());
  outbox.Queue(1, now);
  outbox.due_faults = 1;
  EXPECT_EQ(mailer.RunOnce(), 0);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0], "mailer: round ended by a fault: database is locked");
  // The relay took it but the outbox could not record that: it goes again.
  outbox.sent_faults = 1;
  EXPECT_EQ(mailer.RunOnce(), 0);
  EXPECT_EQ(mailer.RunOnce(), 1);
  EXPECT_EQ(relay.calls, 2);
  EXPECT_EQ(log.size(), 2u);
}

TEST_F(MailerTest, WakeSendsAtOnceAndStopIsPromptWhileWaiting) {
  MailerOptions options = Options();
  options.poll_interval = 1h;
  Mailer mailer(outbox, relay, options);
  mailer.Start();
  ASSERT_TRUE(outbox.WaitFor(outbox.rounds, 1));  // the first round found nothing
  outbox.Queue(3, now);
  mailer.Wake();
  EXPECT_TRUE(outbox.WaitFor(outbox.sent, 1));
  auto start = std::chrono::steady_clock::now();
  mailer.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
  EXPECT_EQ(relay.calls, 1);
}

}  // namespace
}  // namespace velmora::robot
