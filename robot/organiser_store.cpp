#include "robot/organiser_store.h"

#include <algorithm>
#include <map>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include <sodium.h>

#include "robot/secrets.h"

namespace velmora::robot {

namespace {

constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS sessions(
  id_hash TEXT PRIMARY KEY,
  csrf TEXT NOT NULL,
  organiser TEXT NOT NULL,
  created INTEGER NOT NULL,
  expires INTEGER NOT NULL
) STRICT;
CREATE TABLE IF NOT EXISTS decisions(
  id INTEGER PRIMARY KEY,
  receipt TEXT NOT NULL REFERENCES submissions(receipt),
  decision TEXT NOT NULL CHECK(decision IN ('admit', 'set-aside')),
  reason TEXT NOT NULL,
  organiser TEXT NOT NULL,
  made INTEGER NOT NULL
) STRICT;
CREATE TABLE IF NOT EXISTS rulings(
  id INTEGER PRIMARY KEY,
  call TEXT NOT NULL,
  line INTEGER NOT NULL,
  verdict TEXT NOT NULL,
  reason TEXT NOT NULL,
  organiser TEXT NOT NULL,
  made INTEGER NOT NULL,
  withdrawn INTEGER,
  withdrawn_by TEXT
) STRICT;
CREATE TABLE IF NOT EXISTS runs(
  id INTEGER PRIMARY KEY,
  started INTEGER NOT NULL,
  ended INTEGER,
  status TEXT NOT NULL,
  progress TEXT NOT NULL DEFAULT '',
  settings TEXT NOT NULL,
  organiser TEXT NOT NULL,
  logs INTEGER NOT NULL DEFAULT 0,
  results_csv BLOB,
  results_html BLOB,
  qsos_csv BLOB,
  messages TEXT NOT NULL DEFAULT ''
) STRICT;
CREATE TABLE IF NOT EXISTS run_reports(
  run INTEGER NOT NULL REFERENCES runs(id),
  call TEXT NOT NULL,
  txt BLOB NOT NULL,
  json BLOB NOT NULL,
  PRIMARY KEY(run, call)
) STRICT;
CREATE TABLE IF NOT EXISTS run_logs(
  run INTEGER NOT NULL REFERENCES runs(id),
  receipt TEXT NOT NULL,
  PRIMARY KEY(run, receipt)
) STRICT;
-- The list of runs: a finished run's row holds its result files, megabytes
-- at the size of a big contest, before its messages; this index holds what
-- the list shows.
CREATE INDEX IF NOT EXISTS runs_overview ON runs(
  id, started, ended, status, progress, settings, organiser, logs, messages);
)sql";

constexpr const char* kPublishedKey = "published_run";

// The newest decision on each version.
std::map<std::string, std::pair<std::string, std::string>> Decisions(Database& db) {
  std::map<std::string, std::pair<std::string, std::string>> newest;
  Statement q = db.Prepare("SELECT receipt, decision, reason FROM decisions ORDER BY id");
  while (q.Step()) newest[q.Text(0)] = {q.Text(1), q.Text(2)};
  return newest;
}

// A version counts when it came in time and was not set aside, or came late
// and was admitted.
bool Counts(bool late, const std::string& decision) {
  return decision.empty() ? !late : decision == "admit";
}

RunRecord ReadRun(const Statement& q) {
  RunRecord r;
  r.id = q.Int(0);
  r.started = q.Int(1);
  if (!q.IsNull(2)) r.ended = q.Int(2);
  r.status = q.Text(3);
  r.progress = q.Text(4);
  r.settings = q.Text(5);
  r.organiser = q.Text(6);
  r.logs = static_cast<int>(q.Int(7));
  r.messages = q.Text(8);
  return r;
}

constexpr const char* kRunColumns =
    "id, started, ended, status, progress, settings, organiser, logs, messages";

// The version a check takes for its call.
bool Counted(const VersionState& v) { return v.state == "counts" || v.state == "admitted"; }

// What a read of the versions takes beside the overview's columns.
enum class Extra {
  kNone,    // the overview alone: from the index, no log's bytes touched
  kWorked,  // and the calls each log worked, also from the index
  kBytes,   // and the worked calls, and the bytes of the counted versions, for a check
};

// Every stored version, newest call first by call, with its state; one
// statement, under the caller's lock and transaction.
std::vector<VersionState> ReadVersions(Database& db, Extra extra) {
  const auto decisions = Decisions(db);
  std::string sql = std::string("SELECT ") + kSubmissionColumns;
  if (extra != Extra::kNone) sql += ", worked";
  if (extra == Extra::kBytes) sql += ", bytes";
  sql += " FROM submissions ORDER BY call, version DESC";
  Statement q = db.Prepare(sql);
  std::vector<VersionState> rows;
  bool newest_counted_seen = false;
  std::string call;
  while (q.Step()) {
    VersionState v;
    Submission& s = v.submission;
    s = ReadSubmission(q);
    if (extra != Extra::kNone) s.worked = q.Text(14);
    if (s.call != call) call = s.call, newest_counted_seen = false;
    auto d = decisions.find(s.receipt);
    const std::string decision = d == decisions.end() ? "" : d->second.first;
    if (d != decisions.end()) v.reason = d->second.second;
    if (!Counts(s.late, decision)) v.state = decision.empty() ? "late" : "set-aside";
    else if (newest_counted_seen) v.state = "replaced";
    else v.state = decision == "admit" ? "admitted" : "counts", newest_counted_seen = true;
    if (extra == Extra::kBytes && Counted(v)) s.bytes = q.Text(15);  // the others' stay unread
    rows.push_back(std::move(v));
  }
  return rows;
}


}  // namespace

OrganiserStore::OrganiserStore(SubmissionStore& store) : store_(store), db_(store.database()) {
  std::lock_guard lock(store_.mutex());
  db_.Exec(kSchema);
}

void OrganiserStore::AddSession(const std::string& id_hash, const Session& s, std::int64_t now) {
  std::lock_guard lock(store_.mutex());
  db_.Prepare("DELETE FROM sessions WHERE expires <= ?").Bind(1, now).Run();
  db_.Prepare("INSERT INTO sessions(id_hash, csrf, organiser, created, expires) "
              "VALUES(?, ?, ?, ?, ?)")
      .Bind(1, id_hash).Bind(2, s.csrf).Bind(3, s.organiser).Bind(4, now).Bind(5, s.expires)
      .Run();
}

std::optional<Session> OrganiserStore::FindSession(const std::string& id_hash, std::int64_t now) {
  std::lock_guard lock(store_.mutex());
  Statement q = db_.Prepare(
      "SELECT organiser, csrf, expires FROM sessions WHERE id_hash = ? AND expires > ?");
  q.Bind(1, id_hash).Bind(2, now);
  if (!q.Step()) return std::nullopt;
  return Session{q.Text(0), q.Text(1), q.Int(2)};
}

void OrganiserStore::DeleteSession(const std::string& id_hash) {
  std::lock_guard lock(store_.mutex());
  db_.Prepare("DELETE FROM sessions WHERE id_hash = ?").Bind(1, id_hash).Run();
}

bool OrganiserStore::Decide(const Decision& d) {
  std::lock_guard lock(store_.mutex());
  Statement known = db_.Prepare("SELECT 1 FROM submissions WHERE receipt = ?");
  known.Bind(1, d.receipt);
  if (!known.Step()) return false;
  db_.Prepare("INSERT INTO decisions(receipt, decision, reason, organiser, made) "
              "VALUES(?, ?, ?, ?, ?)")
      .Bind(1, d.receipt).Bind(2, d.decision).Bind(3, d.reason).Bind(4, d.organiser)
      .Bind(5, d.made).Run();
  return true;
}

std::vector<VersionState> OrganiserStore::Overview() {
  std::lock_guard lock(store_.mutex());
  Transaction tx(db_);
  return ReadVersions(db_, Extra::kNone);
}

std::vector<Submission> OrganiserStore::CountedLogs() {
  std::vector<VersionState> versions;
  {
    std::lock_guard lock(store_.mutex());
    Transaction tx(db_);
    versions = ReadVersions(db_, Extra::kBytes);
  }
  std::vector<Submission> logs;
  for (VersionState& v : versions)
    if (Counted(v)) logs.push_back(std::move(v.submission));
  return logs;
}

std::optional<Submission> OrganiserStore::CountedLogOf(const std::string& call) {
  std::lock_guard lock(store_.mutex());
  Transaction tx(db_);
  Statement q = db_.Prepare(
      "SELECT s.receipt, s.version, s.late, s.bytes, "
      "(SELECT decision FROM decisions d WHERE d.receipt = s.receipt ORDER BY d.id DESC LIMIT 1) "
      "FROM submissions s WHERE s.call = ? ORDER BY s.version DESC");
  q.Bind(1, call);
  while (q.Step()) {
    if (!Counts(q.Int(2) != 0, q.Text(4))) continue;
    Submission s;
    s.receipt = q.Text(0);
    s.call = call;
    s.version = static_cast<int>(q.Int(1));
    s.bytes = q.Text(3);
    return s;
  }
  return std::nullopt;
}

std::vector<MissingLog> OrganiserStore::Missing(int threshold) {
  std::vector<VersionState> versions;
  {
    std::lock_guard lock(store_.mutex());
    Transaction tx(db_);
    versions = ReadVersions(db_, Extra::kWorked);
  }
  // Views into `versions`, which stays as it is from here on.
  std::unordered_set<std::string_view> sent;
  std::unordered_map<std::string_view, int> holders;
  sent.reserve(versions.size());
  holders.reserve(versions.size() * 2);
  for (const VersionState& v : versions) {
    sent.insert(v.submission.call);
    if (!Counted(v)) continue;
    const std::string_view worked = v.submission.worked;
    std::size_t pos = 0;
    while (pos < worked.size()) {
      std::size_t end = worked.find(' ', pos);
      if (end == std::string_view::npos) end = worked.size();
      if (end > pos) ++holders[worked.substr(pos, end - pos)];
      pos = end + 1;
    }
  }
  std::vector<MissingLog> missing;
  for (const auto& [call, logs] : holders)
    if (logs >= threshold && !sent.count(call)) missing.push_back({std::string(call), logs});
  std::sort(missing.begin(), missing.end(), [](const MissingLog& a, const MissingLog& b) {
    return a.logs != b.logs ? a.logs > b.logs : a.call < b.call;
  });
  return missing;
}

std::int64_t OrganiserStore::AddRuling(const RulingRecord& r) {
  std::lock_guard lock(store_.mutex());
  db_.Prepare("INSERT INTO rulings(call, line, verdict, reason, organiser, made) "
              "VALUES(?, ?, ?, ?, ?, ?)")
      .Bind(1, r.call).Bind(2, std::int64_t{r.line}).Bind(3, r.verdict).Bind(4, r.reason)
      .Bind(5, r.organiser).Bind(6, r.made).Run();
  return db_.LastInsertId();
}

bool OrganiserStore::WithdrawRuling(std::int64_t id, const std::string& organiser,
                                    std::int64_t now) {
  std::lock_guard lock(store_.mutex());
  db_.Prepare("UPDATE rulings SET withdrawn = ?, withdrawn_by = ? "
              "WHERE id = ? AND withdrawn IS NULL")
      .Bind(1, now).Bind(2, organiser).Bind(3, id).Run();
  return db_.Changes() > 0;
}

std::vector<RulingRecord> OrganiserStore::Rulings() {
  std::lock_guard lock(store_.mutex());
  Statement q = db_.Prepare(
      "SELECT id, call, line, verdict, reason, organiser, made, withdrawn, withdrawn_by "
      "FROM rulings ORDER BY id");
  std::vector<RulingRecord> rulings;
  while (q.Step()) {
    RulingRecord r;
    r.id = q.Int(0);
    r.call = q.Text(1);
    r.line = static_cast<int>(q.Int(2));
    r.verdict = q.Text(3);
    r.reason = q.Text(4);
    r.organiser = q.Text(5);
    r.made = q.Int(6);
    if (!q.IsNull(7)) r.withdrawn = q.Int(7);
    r.withdrawn_by = q.Text(8);
    rulings.push_back(std::move(r));
  }
  return rulings;
}

void OrganiserStore::Close(std::int64_t now) {
  std::lock_guard lock(store_.mutex());
  if (!SettingLocked(kClosedAtKey)) SetSettingLocked(kClosedAtKey, std::to_string(now));
}

std::optional<std::int64_t> OrganiserStore::ClosedAt() {
  std::lock_guard lock(store_.mutex());
  if (std::optional<std::string> at = SettingLocked(kClosedAtKey)) return std::stoll(*at);
  return std::nullopt;
}

std::optional<std::int64_t> OrganiserStore::StartRun(const std::string& settings,
                                                     const std::string& organiser,
                                                     std::int64_t now) {
  std::lock_guard lock(store_.mutex());
  Transaction tx(db_);
  {
    Statement running = db_.Prepare("SELECT 1 FROM runs WHERE status = 'running'");
    if (running.Step()) return std::nullopt;
  }
  db_.Prepare("INSERT INTO runs(started, status, settings, organiser) VALUES(?, 'running', ?, ?)")
      .Bind(1, now).Bind(2, settings).Bind(3, organiser).Run();
  const std::int64_t id = db_.LastInsertId();
  tx.Commit();
  return id;
}

void OrganiserStore::SetProgress(std::int64_t run, const std::string& progress) {
  std::lock_guard lock(store_.mutex());
  db_.Prepare("UPDATE runs SET progress = ? WHERE id = ?").Bind(1, progress).Bind(2, run).Run();
}

void OrganiserStore::FinishRun(std::int64_t run, const RunOutput& out, std::int64_t now) {
  std::lock_guard lock(store_.mutex());
  Transaction tx(db_);
  for (const RunOutput::Report& r : out.reports)
    db_.Prepare("INSERT INTO run_reports(run, call, txt, json) VALUES(?, ?, ?, ?)")
        .Bind(1, run).Bind(2, r.call).BindBlob(3, r.txt).BindBlob(4, r.json).Run();
  for (const std::string& receipt : out.receipts)
    db_.Prepare("INSERT INTO run_logs(run, receipt) VALUES(?, ?)").Bind(1, run).Bind(2, receipt)
        .Run();
  db_.Prepare("UPDATE runs SET status = 'done', ended = ?, logs = ?, results_csv = ?, "
              "results_html = ?, qsos_csv = ?, messages = ?, settings = ?, progress = 'done' "
              "WHERE id = ?")
      .Bind(1, now).Bind(2, static_cast<std::int64_t>(out.receipts.size()))
      .BindBlob(3, out.results_csv).BindBlob(4, out.results_html).BindBlob(5, out.qsos_csv)
      .Bind(6, out.messages).Bind(7, out.settings).Bind(8, run).Run();
  tx.Commit();
}

void OrganiserStore::FailRun(std::int64_t run, const std::string& error, std::int64_t now) {
  std::lock_guard lock(store_.mutex());
  db_.Prepare("UPDATE runs SET status = 'failed', ended = ?, messages = ? WHERE id = ?")
      .Bind(1, now).Bind(2, error).Bind(3, run).Run();
}

void OrganiserStore::MarkInterruptedRuns() {
  std::lock_guard lock(store_.mutex());
  db_.Exec("UPDATE runs SET status = 'interrupted' WHERE status = 'running'");
}

std::vector<RunRecord> OrganiserStore::Runs() {
  std::lock_guard lock(store_.mutex());
  Statement q = db_.Prepare(std::string("SELECT ") + kRunColumns + " FROM runs ORDER BY id DESC");
  std::vector<RunRecord> runs;
  while (q.Step()) runs.push_back(ReadRun(q));
  return runs;
}

std::optional<RunRecord> OrganiserStore::Run(std::int64_t id) {
  std::lock_guard lock(store_.mutex());
  Statement q = db_.Prepare(std::string("SELECT ") + kRunColumns + " FROM runs WHERE id = ?");
  q.Bind(1, id);
  if (!q.Step()) return std::nullopt;
  return ReadRun(q);
}

std::optional<std::string> OrganiserStore::RunFile(std::int64_t run, const char* column) {
  const std::string name = column;
  if (name != "results_csv" && name != "results_html" && name != "qsos_csv") return std::nullopt;
  std::lock_guard lock(store_.mutex());
  Statement q = db_.Prepare("SELECT " + name + " FROM runs WHERE id = ? AND status = 'done'");
  q.Bind(1, run);
  if (!q.Step()) return std::nullopt;
  return q.Text(0);
}

std::optional<RunOutput::Report> OrganiserStore::RunReport(std::int64_t run,
                                                           const std::string& call) {
  std::lock_guard lock(store_.mutex());
  Statement q = db_.Prepare("SELECT call, txt, json FROM run_reports WHERE run = ? AND call = ?");
  q.Bind(1, run).Bind(2, call);
  if (!q.Step()) return std::nullopt;
  return RunOutput::Report{q.Text(0), q.Text(1), q.Text(2)};
}

std::vector<std::string> OrganiserStore::RunReceipts(std::int64_t run) {
  std::lock_guard lock(store_.mutex());
  Statement q = db_.Prepare("SELECT receipt FROM run_logs WHERE run = ? ORDER BY receipt");
  q.Bind(1, run);
  std::vector<std::string> receipts;
  while (q.Step()) receipts.push_back(q.Text(0));
  return receipts;
}

std::vector<std::string> OrganiserStore::RunCalls(std::int64_t run) {
  std::lock_guard lock(store_.mutex());
  Statement q = db_.Prepare("SELECT call FROM run_reports WHERE run = ? ORDER BY call");
  q.Bind(1, run);
  std::vector<std::string> calls;
  while (q.Step()) calls.push_back(q.Text(0));
  return calls;
}

bool OrganiserStore::Publish(std::int64_t run) {
  std::lock_guard lock(store_.mutex());
  Statement q = db_.Prepare("SELECT 1 FROM runs WHERE id = ? AND status = 'done'");
  q.Bind(1, run);
  if (!q.Step()) return false;
  SetSettingLocked(kPublishedKey, std::to_string(run));
  return true;
}

void OrganiserStore::Withdraw() {
  std::lock_guard lock(store_.mutex());
  db_.Prepare("DELETE FROM settings WHERE key = ?").Bind(1, kPublishedKey).Run();
}

std::optional<std::int64_t> OrganiserStore::PublishedRun() {
  std::lock_guard lock(store_.mutex());
  if (std::optional<std::string> run = SettingLocked(kPublishedKey)) return std::stoll(*run);
  return std::nullopt;
}

bool OrganiserStore::TokenMatches(const std::string& call, const std::string& token) {
  if (token.empty()) return false;
  const std::string hash = Sha256Hex(token);
  std::lock_guard lock(store_.mutex());
  Statement q = db_.Prepare("SELECT token_hash FROM calls WHERE call = ?");
  q.Bind(1, call);
  if (!q.Step()) return false;
  const std::string stored = q.Text(0);
  return stored.size() == hash.size() &&
         sodium_memcmp(stored.data(), hash.data(), hash.size()) == 0;
}

std::string OrganiserStore::EmailOf(const std::string& call) {
  std::lock_guard lock(store_.mutex());
  Statement q = db_.Prepare(
      "SELECT email FROM submissions WHERE call = ? AND email <> '' ORDER BY version DESC "
      "LIMIT 1");
  q.Bind(1, call);
  return q.Step() ? q.Text(0) : "";
}

std::optional<std::string> OrganiserStore::SettingLocked(const std::string& key) {
  Statement q = db_.Prepare("SELECT value FROM settings WHERE key = ?");
  q.Bind(1, key);
  if (!q.Step()) return std::nullopt;
  return q.Text(0);
}

void OrganiserStore::SetSettingLocked(const std::string& key, const std::string& value) {
  db_.Prepare("INSERT INTO settings(key, value) VALUES(?, ?) "
              "ON CONFLICT(key) DO UPDATE SET value = excluded.value")
      .Bind(1, key).Bind(2, value).Run();
}

}  // namespace velmora::robot
