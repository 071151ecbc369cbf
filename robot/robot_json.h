#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "robot/submission_desk.h"
#include "robot/submission_store.h"
#include "robot/upload_judgement.h"

namespace velmora::robot {

using Json = nlohmann::json;

// Compact JSON; a byte that is not UTF-8 (a log in another code page)
// becomes U+FFFD rather than failing the answer.
std::string DumpJson(const Json& json);

Json FindingsJson(const std::vector<Finding>& findings);
// The receipt's fields: id, sha256, time, call, category, figures, late.
Json ReceiptJson(const Submission& s);
// The answer to an upload and its HTTP status.
Json UploadAnswerJson(const UploadAnswer& answer, int& http_status);
Json LogsJson(const std::vector<ListedLog>& logs);

// The receipt as the mail and the page's text tell it.
std::string ReceiptText(const Submission& s, const std::string& public_url);

}  // namespace velmora::robot
