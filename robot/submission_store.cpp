#include "robot/submission_store.h"

#include <sodium.h>

namespace velmora::robot {

namespace {

constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS calls(
  call TEXT PRIMARY KEY,
  token_hash TEXT NOT NULL,
  created INTEGER NOT NULL
) STRICT;
CREATE TABLE IF NOT EXISTS submissions(
  id INTEGER PRIMARY KEY,
  receipt TEXT NOT NULL UNIQUE,
  call TEXT NOT NULL REFERENCES calls(call),
  version INTEGER NOT NULL,
  category TEXT NOT NULL,
  email TEXT NOT NULL,
  received INTEGER NOT NULL,
  late INTEGER NOT NULL,
  sha256 TEXT NOT NULL,
  bytes BLOB NOT NULL,
  qsos INTEGER NOT NULL,
  points INTEGER NOT NULL,
  mults INTEGER NOT NULL,
  score INTEGER NOT NULL,
  claimed INTEGER,
  warnings TEXT NOT NULL,
  worked TEXT NOT NULL,
  UNIQUE(call, version)
) STRICT;
CREATE TABLE IF NOT EXISTS outbox(
  id INTEGER PRIMARY KEY,
  recipient TEXT NOT NULL,
  subject TEXT NOT NULL,
  body TEXT NOT NULL,
  created INTEGER NOT NULL,
  next_try INTEGER NOT NULL,
  attempts INTEGER NOT NULL DEFAULT 0,
  sent INTEGER,
  last_error TEXT
) STRICT;
-- The overview of every version without its bytes: a submission's row holds
-- the log before qsos, score, warnings and worked, so a scan of the table
-- reads every log's overflow pages to reach them; this index holds them in
-- the overview's order, a few pages for thousands of logs.
CREATE INDEX IF NOT EXISTS submissions_overview ON submissions(
  call, version DESC, receipt, late, category, email, received, sha256, qsos, points, mults,
  score, claimed, warnings, worked);
CREATE INDEX IF NOT EXISTS outbox_due ON outbox(next_try) WHERE sent IS NULL;
CREATE TABLE IF NOT EXISTS settings(
  key TEXT PRIMARY KEY,
  value TEXT NOT NULL
) STRICT;
)sql";

Submission Read(const Statement& row, bool with_bytes) {
  Submission s = ReadSubmission(row);
  if (with_bytes) s.bytes = row.Text(14);
  return s;
}

bool SameHash(const std::string& a, const std::string& b) {
  return a.size() == b.size() && sodium_memcmp(a.data(), b.data(), a.size()) == 0;
}

}  // namespace

const char kSubmissionColumns[] =
    "receipt, call, version, category, email, received, late, sha256, qsos, points, mults, "
    "score, claimed, warnings";

Submission ReadSubmission(const Statement& row) {
  Submission s;
  s.receipt = row.Text(0);
  s.call = row.Text(1);
  s.version = static_cast<int>(row.Int(2));
  s.category = row.Text(3);
  s.email = row.Text(4);
  s.received = row.Int(5);
  s.late = row.Int(6) != 0;
  s.sha256 = row.Text(7);
  s.qsos = static_cast<int>(row.Int(8));
  s.points = row.Int(9);
  s.mults = static_cast<int>(row.Int(10));
  s.score = row.Int(11);
  if (!row.IsNull(12)) s.claimed = row.Int(12);
  s.warnings_json = row.Text(13);
  return s;
}

SubmissionStore::SubmissionStore(const std::string& path) : db_(path) { CreateTables(); }

void SubmissionStore::CreateTables() { db_.Exec(kSchema); }

StoreAnswer SubmissionStore::Accept(
    Submission& s, const std::string& token_hash, const std::string& new_token_hash,
    bool confirmed, const std::function<std::vector<OutgoingMail>(bool first)>& mails,
    int& replaced_qsos) {
  std::lock_guard lock(mutex_);
  Transaction tx(db_);
  std::optional<std::string> stored_hash;
  {
    Statement known = db_.Prepare("SELECT token_hash FROM calls WHERE call = ?");
    known.Bind(1, s.call);
    if (known.Step()) stored_hash = known.Text(0);
  }
  const bool first = !stored_hash;
  replaced_qsos = 0;
  s.version = 1;
  if (first) {
    db_.Prepare("INSERT INTO calls(call, token_hash, created) VALUES(?, ?, ?)")
        .Bind(1, s.call).Bind(2, new_token_hash).Bind(3, s.received).Run();
  } else {
    if (!SameHash(token_hash, *stored_hash)) return StoreAnswer::kTokenRefused;
    Statement newest = db_.Prepare(
        "SELECT version, qsos FROM submissions WHERE call = ? ORDER BY version DESC LIMIT 1");
    newest.Bind(1, s.call);
    if (newest.Step()) {
      s.version = static_cast<int>(newest.Int(0)) + 1;
      replaced_qsos = static_cast<int>(newest.Int(1));
    }
    if (!confirmed && 2LL * s.qsos < replaced_qsos) return StoreAnswer::kConfirmNeeded;
  }
  Statement insert = db_.Prepare(
      "INSERT INTO submissions(receipt, call, version, category, email, received, late, "
      "sha256, qsos, points, mults, score, claimed, warnings, worked, bytes) "
      "VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
  insert.Bind(1, s.receipt).Bind(2, s.call).Bind(3, std::int64_t{s.version})
      .Bind(4, s.category).Bind(5, s.email).Bind(6, s.received)
      .Bind(7, std::int64_t{s.late}).Bind(8, s.sha256).Bind(9, std::int64_t{s.qsos})
      .Bind(10, std::int64_t{s.points}).Bind(11, std::int64_t{s.mults})
      .Bind(12, std::int64_t{s.score});
  if (s.claimed) insert.Bind(13, std::int64_t{*s.claimed});
  else insert.BindNull(13);
  insert.Bind(14, s.warnings_json).Bind(15, s.worked).BindBlob(16, s.bytes).Run();
  for (const OutgoingMail& mail : mails(first)) Queue(mail, s.received);
  tx.Commit();
  return StoreAnswer::kStored;
}

void SubmissionStore::Queue(const OutgoingMail& mail, std::int64_t now_unix) {
  db_.Prepare("INSERT INTO outbox(recipient, subject, body, created, next_try) "
              "VALUES(?, ?, ?, ?, ?)")
      .Bind(1, mail.to).Bind(2, mail.subject).Bind(3, mail.body).Bind(4, now_unix)
      .Bind(5, now_unix).Run();
}

void SubmissionStore::QueueMails(const std::vector<OutgoingMail>& mails, std::int64_t now_unix) {
  std::lock_guard lock(mutex_);
  Transaction tx(db_);
  for (const OutgoingMail& mail : mails) Queue(mail, now_unix);
  tx.Commit();
}

std::optional<Submission> SubmissionStore::Find(const std::string& receipt, bool with_bytes) {
  std::lock_guard lock(mutex_);
  Statement q = db_.Prepare(std::string("SELECT ") + kSubmissionColumns +
                            (with_bytes ? ", bytes" : "") +
                            " FROM submissions WHERE receipt = ?");
  q.Bind(1, receipt);
  if (!q.Step()) return std::nullopt;
  return Read(q, with_bytes);
}

std::vector<ListedLog> SubmissionStore::List() {
  std::lock_guard lock(mutex_);
  // Every version, newest first within a call: the organisers' covering index
  // answers it without reading a log's bytes.
  Statement q = db_.Prepare(
      "SELECT call, version, category, received, qsos, late FROM submissions "
      "ORDER BY call, version DESC");
  std::vector<ListedLog> logs;
  while (q.Step()) {
    std::string call = q.Text(0);
    if (!logs.empty() && logs.back().call == call) continue;
    logs.push_back({std::move(call), q.Text(2), q.Int(3), static_cast<int>(q.Int(4)),
                    q.Int(5) != 0, static_cast<int>(q.Int(1))});
  }
  return logs;
}

std::pair<int, int> SubmissionStore::Counts() {
  std::lock_guard lock(mutex_);
  Statement q = db_.Prepare("SELECT COUNT(DISTINCT call), COUNT(*) FROM submissions");
  q.Step();
  return {static_cast<int>(q.Int(0)), static_cast<int>(q.Int(1))};
}

std::vector<Submission> SubmissionStore::Versions(const std::string& call) {
  std::lock_guard lock(mutex_);
  Statement q = db_.Prepare(std::string("SELECT ") + kSubmissionColumns +
                            " FROM submissions WHERE call = ? ORDER BY version");
  q.Bind(1, call);
  std::vector<Submission> versions;
  while (q.Step()) versions.push_back(Read(q, false));
  return versions;
}

std::optional<std::string> SubmissionStore::Setting(const std::string& key) {
  std::lock_guard lock(mutex_);
  Statement q = db_.Prepare("SELECT value FROM settings WHERE key = ?");
  q.Bind(1, key);
  if (!q.Step()) return std::nullopt;
  return q.Text(0);
}

void SubmissionStore::SetSetting(const std::string& key, const std::string& value) {
  std::lock_guard lock(mutex_);
  db_.Prepare("INSERT INTO settings(key, value) VALUES(?, ?) "
              "ON CONFLICT(key) DO UPDATE SET value = excluded.value")
      .Bind(1, key).Bind(2, value).Run();
}

std::vector<OutgoingMail> SubmissionStore::Due(std::int64_t now_unix, int limit) {
  std::lock_guard lock(mutex_);
  Statement q = db_.Prepare(
      "SELECT id, recipient, subject, body, attempts FROM outbox "
      "WHERE sent IS NULL AND next_try <= ? ORDER BY id LIMIT ?");
  q.Bind(1, now_unix).Bind(2, std::int64_t{limit});
  std::vector<OutgoingMail> due;
  while (q.Step())
    due.push_back({q.Int(0), q.Text(1), q.Text(2), q.Text(3), static_cast<int>(q.Int(4))});
  return due;
}

void SubmissionStore::MarkSent(std::int64_t id, std::int64_t now_unix) {
  std::lock_guard lock(mutex_);
  db_.Prepare("UPDATE outbox SET sent = ?, last_error = NULL WHERE id = ?")
      .Bind(1, now_unix).Bind(2, id).Run();
}

void SubmissionStore::MarkFailed(std::int64_t id, std::int64_t next_try_unix,
                                 const std::string& error) {
  std::lock_guard lock(mutex_);
  db_.Prepare("UPDATE outbox SET attempts = attempts + 1, next_try = ?, last_error = ? "
              "WHERE id = ?")
      .Bind(1, next_try_unix).Bind(2, error).Bind(3, id).Run();
}

}  // namespace velmora::robot
