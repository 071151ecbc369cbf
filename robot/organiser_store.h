#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "robot/submission_store.h"

namespace velmora::robot {

struct Session {
  std::string organiser;
  std::string csrf;
  std::int64_t expires = 0;
};

// An organiser's word on one stored version: "admit" (a late log counts),
// "set-aside" (it does not). The newest word on a version holds; every word
// stays in the record.
struct Decision {
  std::string receipt, decision, reason, organiser;
  std::int64_t made = 0;
};

struct RulingRecord {
  std::int64_t id = 0;
  std::string call;
  int line = 0;
  std::string verdict, reason, organiser;
  std::int64_t made = 0;
  std::optional<std::int64_t> withdrawn;
  std::string withdrawn_by;
};

struct RunRecord {
  std::int64_t id = 0;
  std::int64_t started = 0;
  std::optional<std::int64_t> ended;
  std::string status;  // running, done, failed, interrupted
  std::string progress, settings, organiser, messages;
  int logs = 0;
};

struct RunOutput {
  std::string results_csv, results_html, qsos_csv, messages, settings;
  std::vector<std::string> receipts;  // the versions checked
  struct Report {
    std::string call, txt, json;
  };
  std::vector<Report> reports;
};

// One version of the organisers' overview: a stored log and where it stands.
struct VersionState {
  Submission submission;  // without bytes
  std::string state;      // counts, late, admitted, set-aside, replaced
  std::string reason;     // of the newest decision, if any
};

struct MissingLog {
  std::string call;
  int logs = 0;  // received logs that hold it
};

// The organisers' records beside the submissions, in the same database and
// under the same lock: sessions, decisions, rulings, check runs and what is
// published.
class OrganiserStore {
 public:
  explicit OrganiserStore(SubmissionStore& store);

  void AddSession(const std::string& id_hash, const Session& session, std::int64_t now);
  std::optional<Session> FindSession(const std::string& id_hash, std::int64_t now);
  void DeleteSession(const std::string& id_hash);

  bool Decide(const Decision& decision);  // false: no such receipt
  // The submissions, newest call first by call, with their states.
  std::vector<VersionState> Overview();
  // The newest counted version of each call, with its bytes, read in one
  // transaction so that uploads meanwhile do not mix into the set.
  std::vector<Submission> CountedLogs();
  std::vector<MissingLog> Missing(int threshold);
  // The newest counted version of one call, with its bytes.
  std::optional<Submission> CountedLogOf(const std::string& call);

  std::int64_t AddRuling(const RulingRecord& ruling);
  bool WithdrawRuling(std::int64_t id, const std::string& organiser, std::int64_t now);
  std::vector<RulingRecord> Rulings();

  void Close(std::int64_t now);
  std::optional<std::int64_t> ClosedAt();

  // A run begins only when none is running: nullopt otherwise.
  std::optional<std::int64_t> StartRun(const std::string& settings, const std::string& organiser,
                                       std::int64_t now);
  void SetProgress(std::int64_t run, const std::string& progress);
  void FinishRun(std::int64_t run, const RunOutput& output, std::int64_t now);
  void FailRun(std::int64_t run, const std::string& error, std::int64_t now);
  // Runs left "running" by a robot that was stopped become "interrupted".
  void MarkInterruptedRuns();
  std::vector<RunRecord> Runs();
  std::optional<RunRecord> Run(std::int64_t id);
  std::optional<std::string> RunFile(std::int64_t run, const char* column);
  std::optional<RunOutput::Report> RunReport(std::int64_t run, const std::string& call);
  std::vector<std::string> RunReceipts(std::int64_t run);
  std::vector<std::string> RunCalls(std::int64_t run);

  bool Publish(std::int64_t run);  // false: no such finished run
  void Withdraw();
  std::optional<std::int64_t> PublishedRun();

  bool TokenMatches(const std::string& call, const std::string& token);
  std::string EmailOf(const std::string& call);

 private:
  std::optional<std::string> SettingLocked(const std::string& key);
  void SetSettingLocked(const std::string& key, const std::string& value);

  SubmissionStore& store_;
  Database& db_;
};

}  // namespace velmora::robot
