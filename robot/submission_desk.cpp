#include "robot/submission_desk.h"

#include "robot/robot_json.h"
#include "robot/secrets.h"

namespace velmora::robot {

bool IsMailAddress(const std::string& address) {
  if (address.size() < 3 || address.size() > 254) return false;
  const std::size_t at = address.find('@');
  if (at == 0 || at == std::string::npos || at + 1 == address.size() ||
      address.find('@', at + 1) != std::string::npos)
    return false;
  for (unsigned char c : address)
    if (c <= ' ' || c == 0x7F || c == '<' || c == '>' || c == '"' || c == ',' || c == ';' ||
        c == '\\')
      return false;
  return true;
}

UploadAnswer SubmissionDesk::Submit(const Upload& upload) {
  UploadAnswer answer;
  answer.email = upload.email;
  answer.token_given = upload.token;
  if (config_.open_unix && upload.now < *config_.open_unix) {
    answer.status = UploadStatus::kNotOpen;
    answer.message = "submissions open at " + UtcText(*config_.open_unix);
    return answer;
  }
  if (!upload.email.empty() && !IsMailAddress(upload.email)) {
    answer.status = UploadStatus::kBadEmail;
    answer.message = "the e-mail address cannot take mail; nothing was stored";
    return answer;
  }
  answer.judgement = JudgeUpload(upload.bytes, config_, cty_);
  if (answer.judgement.Refused()) {
    answer.status = UploadStatus::kRejected;
    return answer;
  }
  return Store(upload, std::move(answer));
}

UploadAnswer SubmissionDesk::Store(const Upload& upload, UploadAnswer answer) {
  const Judgement& j = answer.judgement;
  Submission s;
  s.receipt = RandomHex(16);
  s.call = j.call;
  s.category = j.category;
  s.email = upload.email;
  s.received = upload.now;
  s.late = config_.close_unix && upload.now > *config_.close_unix;
  try {
    if (std::optional<std::string> closed = store_.Setting(kClosedAtKey))
      s.late = s.late || upload.now >= std::stoll(*closed);
  } catch (const StoreError&) {
    // Read again inside the acceptance; a database that fails here fails there.
  }
  s.sha256 = Sha256Hex(upload.bytes);
  s.qsos = j.qsos;
  s.points = j.points;
  s.mults = j.mults;
  s.score = j.score;
  s.claimed = j.claimed;
  s.warnings_json = DumpJson(FindingsJson(j.warnings));
  s.bytes = upload.bytes;
  for (const std::string& call : j.worked) s.worked += (s.worked.empty() ? "" : " ") + call;
  const std::string token = RandomHex(16);
  bool first = false;
  StoreAnswer stored;
  try {
    stored = store_.Accept(
        s, upload.token.empty() ? "" : Sha256Hex(upload.token), Sha256Hex(token),
        upload.confirmed,
        [&](bool first_of_call) {
          first = first_of_call;
          return Mails(upload, s, first_of_call, token);
        },
        answer.replaced_qsos);
  } catch (const StoreError& e) {
    answer.status = UploadStatus::kUnavailable;
    answer.message = "the log could not be stored (" + std::string(e.what()) +
                     "); nothing was kept, please send it again later";
    return answer;
  }
  if (stored == StoreAnswer::kTokenRefused) {
    answer.status = UploadStatus::kTokenRefused;
    answer.message = upload.token.empty()
                         ? "a log of " + s.call + " was received before: send it with the "
                           "call's token, given with that log's receipt"
                         : "the token is not " + s.call + "'s token; nothing was stored";
    return answer;
  }
  if (stored == StoreAnswer::kConfirmNeeded) {
    answer.status = UploadStatus::kConfirmNeeded;
    answer.message = "this log has " + std::to_string(s.qsos) + " QSOs, less than half of the " +
                     std::to_string(answer.replaced_qsos) +
                     " of the log it would replace: send it again with the confirmation "
                     "if it is meant to replace it";
    return answer;
  }
  answer.status = UploadStatus::kAccepted;
  s.bytes.clear();
  answer.receipt = std::move(s);
  if (first) answer.token = token;
  if (mail_queued_ && !upload.email.empty() && !config_.mail_relay.empty()) mail_queued_();
  return answer;
}

std::vector<OutgoingMail> SubmissionDesk::Mails(const Upload& upload, const Submission& s,
                                                bool first, const std::string& token) const {
  if (upload.email.empty() || config_.mail_relay.empty()) return {};
  OutgoingMail mail;
  mail.to = upload.email;
  mail.subject = "Velmora Memorial Contest HF: log of " + s.call + " received";
  mail.body = ReceiptText(s, config_.public_url);
  if (first)
    mail.body += "\nThe token of " + s.call + ", needed to send a new version of "
                 "the log:\n  " + token + "\n";
  return {mail};
}

}  // namespace velmora::robot
