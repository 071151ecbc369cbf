#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "readers/country_file.h"
#include "robot/robot_config.h"
#include "robot/submission_store.h"
#include "robot/upload_judgement.h"

namespace velmora::robot {

struct Upload {
  std::string bytes;  // the log exactly as received
  std::string email;  // where the receipt goes; may be empty
  std::string token;  // the call's token, for a later version
  bool confirmed = false;
  std::int64_t now = 0;  // unix seconds
};

enum class UploadStatus {
  kAccepted,
  kRejected,       // the judgement refused the log
  kTokenRefused,   // the call's token is missing or wrong
  kConfirmNeeded,  // a much shorter replacement, not confirmed
  kNotOpen,        // before the submissions open
  kBadEmail,       // an address no mail can go to
  kUnavailable,    // the database failed: nothing was kept
};

struct UploadAnswer {
  UploadStatus status = UploadStatus::kRejected;
  Judgement judgement;
  Submission receipt;  // kAccepted: as stored, without the bytes
  std::string token;   // the call's token, on its first log only
  int replaced_qsos = 0;
  std::string message;  // one sentence for every status but kAccepted and kRejected
  std::string email, token_given;  // as the upload gave them, for a form sent again
};

// Takes an upload through the judgement and into the store: the log is kept
// whole or not at all, and the receipt exists only once it is committed.
class SubmissionDesk {
 public:
  SubmissionDesk(const RobotConfig& config, const CountryFile& cty, SubmissionStore& store,
                 std::function<void()> mail_queued)
      : config_(config), cty_(cty), store_(store), mail_queued_(std::move(mail_queued)) {}

  UploadAnswer Submit(const Upload& upload);

 private:
  UploadAnswer Store(const Upload& upload, UploadAnswer answer);
  std::vector<OutgoingMail> Mails(const Upload& upload, const Submission& s, bool first,
                                  const std::string& token) const;

  const RobotConfig& config_;
  const CountryFile& cty_;
  SubmissionStore& store_;
  std::function<void()> mail_queued_;
};

// An address a receipt can be mailed to: one '@', no blanks, quotes, angle
// brackets or control characters, at most 254 bytes.
bool IsMailAddress(const std::string& address);

}  // namespace velmora::robot
