#include "robot/robot_json.h"

namespace velmora::robot {

std::string DumpJson(const Json& json) {
  return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

Json FindingsJson(const std::vector<Finding>& findings) {
  Json list = Json::array();
  for (const Finding& f : findings) list.push_back({{"line", f.line}, {"message", f.message}});
  return list;
}

Json ReceiptJson(const Submission& s) {
  Json warnings = Json::parse(s.warnings_json, nullptr, false);
  if (warnings.is_discarded()) warnings = Json::array();
  return {{"receipt", s.receipt},     {"sha256", s.sha256},
          {"received", UtcText(s.received)},
          {"call", s.call},           {"category", s.category},
          {"version", s.version},     {"qsos", s.qsos},
          {"points", s.points},       {"mults", s.mults},
          {"score", s.score},         {"claimed", s.claimed ? Json(*s.claimed) : Json()},
          {"late", s.late},           {"warnings", warnings}};
}

Json UploadAnswerJson(const UploadAnswer& a, int& http_status) {
  switch (a.status) {
    case UploadStatus::kAccepted: {
      http_status = 200;
      Json json = ReceiptJson(a.receipt);
      json["status"] = "accepted";
      Json bands = Json::array();
      for (const BandFigures& b : a.judgement.bands)
        bands.push_back({{"band", b.band}, {"qsos", b.qsos}, {"points", b.points},
                         {"mults", b.mults}});
      json["bands"] = bands;
      if (!a.token.empty()) json["token"] = a.token;
      return json;
    }
    case UploadStatus::kRejected:
      http_status = 422;
      return {{"status", "rejected"},
              {"errors", FindingsJson(a.judgement.errors)},
              {"warnings", FindingsJson(a.judgement.warnings)}};
    case UploadStatus::kTokenRefused:
      http_status = 409;
      return {{"status", "token-refused"}, {"message", a.message}};
    case UploadStatus::kConfirmNeeded:
      http_status = 409;
      return {{"status", "confirm"}, {"message", a.message}, {"qsos", a.judgement.qsos},
              {"replaced_qsos", a.replaced_qsos}};
    case UploadStatus::kNotOpen:
      http_status = 403;
      return {{"status", "not-open"}, {"message", a.message}};
    case UploadStatus::kBadEmail:
      http_status = 400;
      return {{"status", "bad-email"}, {"message", a.message}};
    case UploadStatus::kUnavailable:
      break;
  }
  http_status = 503;
  return {{"status", "unavailable"}, {"message", a.message}};
}

Json LogsJson(const std::vector<ListedLog>& logs) {
  Json list = Json::array();
  for (const ListedLog& l : logs)
    list.push_back({{"call", l.call}, {"category", l.category},
                    {"received", UtcText(l.received)}, {"qsos", l.qsos}, {"late", l.late},
                    {"versions", l.versions}});
  return list;
}

std::string ReceiptText(const Submission& s, const std::string& public_url) {
  std::string text;
  text += "Receipt " + s.receipt + "\n";
  text += "Received: " + UtcText(s.received) + (s.late ? " (late)" : "") + "\n";
  text += "Call: " + s.call + " (version " + std::to_string(s.version) + ")\n";
  text += "Category: " + s.category + "\n";
  text += "QSOs: " + std::to_string(s.qsos) + ", points: " + std::to_string(s.points) +
          ", multipliers: " + std::to_string(s.mults) + ", score: " + std::to_string(s.score) +
          "\n";
  if (s.claimed) text += "Claimed score: " + std::to_string(*s.claimed) + "\n";
  text += "SHA-256 of the stored log: " + s.sha256 + "\n";
  text += "The log as stored: " + public_url + "/api/receipt/" + s.receipt + "/log\n";
  text += "This receipt: " + public_url + "/receipt/" + s.receipt + "\n";
  return text;
}

}  // namespace velmora::robot
