#pragma once

#include <string>
#include <vector>

#include "robot/robot_config.h"
#include "robot/submission_desk.h"
#include "robot/submission_store.h"

namespace velmora::robot {

// The entrants' pages: plain HTML that works without JavaScript, every text
// from a log or a form escaped, the style from /style.css only (the pages'
// Content-Security-Policy allows no inline script or style).
// The frame of every page: head, the navigation of the entrants or the
// organisers, the title as heading; `head` adds lines to the head.
std::string RobotPage(const std::string& title, const std::string& body, bool organisers,
                      const std::string& head = "");
std::string UploadPage(const RobotConfig& config, const std::string& notice = "");
std::string UploadAnswerPage(const UploadAnswer& answer, const RobotConfig& config);
std::string ReceiptPage(const Submission& s, const RobotConfig& config);
std::string LogsPage(const std::vector<ListedLog>& logs);
std::string MessagePage(const std::string& title, const std::string& message);

extern const char kStyleSheet[];

}  // namespace velmora::robot
