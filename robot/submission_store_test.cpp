#include "robot/submission_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "robot/secrets.h"

namespace velmora::robot {
namespace {

namespace fs = std::filesystem;

class SubmissionStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitSecrets();
    dir_ = fs::temp_directory_path() /
           ("velmora-store-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "-" + RandomHex(4));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string DbPath() const { return (dir_ / "robot.sqlite").string(); }

  static Submission Log(const std::string& call, int qsos) {
    Submission s;
    s.receipt = RandomHex(16);
    s.call = call;
    s.category = "SINGLE-OP ALL HIGH";
    s.email = "op@example.org";
    s.received = 1700000000;
    s.qsos = qsos;
    s.warnings_json = "[]";
    s.bytes = "START-OF-LOG: 3.0\nCALLSIGN: " + call + "\n" + std::string(qsos, 'q');
    s.sha256 = Sha256Hex(s.bytes);
    return s;
  }

  static auto NoMail() {
    return [](bool) { return std::vector<OutgoingMail>{}; };
  }

  fs::path dir_;
};

TEST_F(SubmissionStoreTest, VersionsNeedTheTokenAndAreAllKept) {
  SubmissionStore store(DbPath());
  int replaced = 0;
  Submission first = Log("OK1ZEB", 100);
  const std::string token_hash = Sha256Hex("token");
  ASSERT_EQ(store.Accept(first, "", token_hash, false, NoMail(), replaced), StoreAnswer::kStored);
  EXPECT_EQ(first.version, 1);

  Submission stranger = Log("OK1ZEB", 100);
  EXPECT_EQ(store.Accept(stranger, "", "x", false, NoMail(), replaced), StoreAnswer::kTokenRefused);
  EXPECT_EQ(store.Accept(stranger, Sha256Hex("guess"), "x", false, NoMail(), replaced),
            StoreAnswer::kTokenRefused);

  Submission half = Log("OK1ZEB", 49);
  EXPECT_EQ(store.Accept(half, token_hash, "x", false, NoMail(), replaced),
            StoreAnswer::kConfirmNeeded);
  EXPECT_EQ(replaced, 100);
  EXPECT_EQ(store.Accept(half, token_hash, "x", true, NoMail(), replaced), StoreAnswer::kStored);
  EXPECT_EQ(half.version, 2);

  const std::vector<Submission> versions = store.Versions("OK1ZEB");
  ASSERT_EQ(versions.size(), 2u);
  EXPECT_EQ(versions[0].qsos, 100);
  EXPECT_EQ(versions[1].qsos, 49);
  const std::vector<ListedLog> list = store.List();
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].qsos, 49);
  EXPECT_EQ(list[0].versions, 2);
  std::optional<Submission> stored = store.Find(first.receipt, true);
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->bytes, first.bytes);
  EXPECT_EQ(Sha256Hex(stored->bytes), first.sha256);
}

TEST_F(SubmissionStoreTest, SimultaneousVersionsOfOneCallEachGetTheirOwn) {
  SubmissionStore store(DbPath());
  int replaced = 0;
  Submission first = Log("DL/OK1ZEB/P", 10);
  ASSERT_EQ(store.Accept(first, "", Sha256Hex("t"), false, NoMail(), replaced),
            StoreAnswer::kStored);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 10; ++i) {
        Submission s = Log("DL/OK1ZEB/P", 10);
        int r = 0;
        EXPECT_EQ(store.Accept(s, Sha256Hex("t"), "", false, NoMail(), r), StoreAnswer::kStored);
      }
    });
  for (std::thread& t : threads) t.join();
  const std::vector<Submission> versions = store.Versions("DL/OK1ZEB/P");
  ASSERT_EQ(versions.size(), 41u);
  for (std::size_t i = 0; i < versions.size(); ++i) EXPECT_EQ(versions[i].version, int(i) + 1);
}

TEST_F(SubmissionStoreTest, MailsAreQueuedWithTheLogAndRetriedUntilSent) {
  {
    SubmissionStore store(DbPath());
    int replaced = 0;
    Submission s = Log("OK1ZEB", 5);
    auto mails = [](bool first) {
      return std::vector<OutgoingMail>{{0, "op@example.org", first ? "first" : "later", "body", 0}};
    };
    ASSERT_EQ(store.Accept(s, "", Sha256Hex("t"), false, mails, replaced), StoreAnswer::kStored);
    std::vector<OutgoingMail> due = store.Due(1700000000, 10);
    ASSERT_EQ(due.size(), 1u);
    EXPECT_EQ(due[0].subject, "first");
    store.MarkFailed(due[0].id, 1700000060, "relay down");
    EXPECT_TRUE(store.Due(1700000059, 10).empty());
  }
  SubmissionStore reopened(DbPath());  // the queue outlives the process
  std::vector<OutgoingMail> due = reopened.Due(1700000060, 10);
  ASSERT_EQ(due.size(), 1u);
  EXPECT_EQ(due[0].attempts, 1);
  reopened.MarkSent(due[0].id, 1700000061);
  EXPECT_TRUE(reopened.Due(1800000000, 10).empty());
}

TEST_F(SubmissionStoreTest, AFailedCommitKeepsNothingOfTheLog) {
  SubmissionStore store(DbPath());
  int replaced = 0;
  Submission s = Log("OK1ZEB", 5);
  auto failing_mail = [](bool) -> std::vector<OutgoingMail> {
    throw StoreError("database: disk I/O error", 10);
  };
  EXPECT_THROW(store.Accept(s, "", Sha256Hex("t"), false, failing_mail, replaced), StoreError);
  EXPECT_TRUE(store.List().empty());
  EXPECT_FALSE(store.Find(s.receipt, false));
  // The call's token went with it: its next first log issues a new one.
  Submission again = Log("OK1ZEB", 5);
  EXPECT_EQ(store.Accept(again, "", Sha256Hex("u"), false, NoMail(), replaced),
            StoreAnswer::kStored);
}

}  // namespace
}  // namespace velmora::robot
