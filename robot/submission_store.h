#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "robot/outbox.h"
#include "robot/sqlite_db.h"

namespace velmora::robot {

// One stored version of a call's log, as its receipt tells of it.
struct Submission {
  std::string receipt;  // the receipt's id
  std::string call, category, email;
  std::int64_t received = 0;  // unix seconds, UTC
  bool late = false;
  std::string sha256;  // of the stored bytes, hex
  int version = 0;     // 1 for the call's first log
  int qsos = 0;
  long long points = 0;
  int mults = 0;
  long long score = 0;
  std::optional<long long> claimed;
  std::string warnings_json;  // [{"line":N,"message":...}]
  std::string worked;         // the calls of its QSO lines, once each, space-separated
  std::string bytes;          // exactly as received; empty in the lists
};

// The line of the public list: the log of a call that counts.
struct ListedLog {
  std::string call, category;
  std::int64_t received = 0;
  int qsos = 0;
  bool late = false;
  int versions = 0;
};

// The columns of a version without its bytes, in the order ReadSubmission
// takes them from a row.
extern const char kSubmissionColumns[];
Submission ReadSubmission(const Statement& row);

// The setting that holds when the organisers closed the submissions (unix
// seconds); uploads from then on are late.
constexpr const char* kClosedAtKey = "closed_at";

enum class StoreAnswer {
  kStored,
  kTokenRefused,  // the call has a token and the upload's is missing or wrong
  kConfirmNeeded, // less than half the QSOs of the log it replaces, not confirmed
};

// The robot's database: the logs with every version, the calls' tokens, the
// outbox and the settings. One connection; each call takes the lock, so an
// acceptance is one transaction that no other request sees half done.
class SubmissionStore : public Outbox {
 public:
  explicit SubmissionStore(const std::string& path);

  // Stores `s` as the newest version of its call in one transaction with the
  // mails `mails(first_of_call)` gives. A call's first log stores
  // `new_token_hash` as its token; later ones must bring a token whose hash
  // is the stored one. Throws StoreError on a database fault (nothing kept).
  StoreAnswer Accept(Submission& s, const std::string& token_hash,
                     const std::string& new_token_hash, bool confirmed,
                     const std::function<std::vector<OutgoingMail>(bool first)>& mails,
                     int& replaced_qsos);

  std::optional<Submission> Find(const std::string& receipt, bool with_bytes);
  std::vector<ListedLog> List();
  // How many calls have sent how many versions in all.
  std::pair<int, int> Counts();
  std::vector<Submission> Versions(const std::string& call);

  // Queues mails in one transaction.
  void QueueMails(const std::vector<OutgoingMail>& mails, std::int64_t now_unix);

  std::optional<std::string> Setting(const std::string& key);
  void SetSetting(const std::string& key, const std::string& value);

  std::vector<OutgoingMail> Due(std::int64_t now_unix, int limit) override;
  void MarkSent(std::int64_t id, std::int64_t now_unix) override;
  void MarkFailed(std::int64_t id, std::int64_t next_try_unix, const std::string& error) override;

  Database& database() { return db_; }
  std::mutex& mutex() { return mutex_; }

 private:
  void CreateTables();
  void Queue(const OutgoingMail& mail, std::int64_t now_unix);

  std::mutex mutex_;
  Database db_;
};

}  // namespace velmora::robot
