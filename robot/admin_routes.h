#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "robot/check_runner.h"
#include "robot/organiser_gate.h"
#include "robot/organiser_store.h"
#include "robot/robot_config.h"
#include "robot/robot_json.h"
#include "robot/submission_store.h"

namespace httplib {
class Server;
struct Request;
struct Response;
}  // namespace httplib

namespace velmora::robot {

// The organisers' routes (/admin/... pages, /api/admin/... JSON on the same
// handlers) and what they publish (/results, /report/CALL). Every organisers'
// route refuses without a session (403); every change also needs the
// session's CSRF token (the X-CSRF-Token header or the form's csrf field).
class AdminRoutes {
 public:
  using Clock = std::function<std::int64_t()>;
  // Called after mails were queued, to send them at once.
  using MailQueued = std::function<void()>;

  AdminRoutes(const RobotConfig& config, SubmissionStore& submissions, OrganiserStore& store,
              OrganiserGate& gate, CheckRunner& runner, Clock clock, MailQueued mail_queued);

  void Register(httplib::Server& server);

 private:
  using Handler = std::function<void(const httplib::Request&, httplib::Response&,
                                     const Session&)>;
  // A route for organisers only; `change`: it needs the CSRF token too.
  void Guarded(httplib::Server& server, bool post, const std::string& pattern, bool change,
               Handler handler);

  void Login(const httplib::Request& req, httplib::Response& res);
  void Logout(const httplib::Request& req, httplib::Response& res);
  void Check(const httplib::Request& req, httplib::Response& res, const Session& s);
  void Publish(const httplib::Request& req, httplib::Response& res);
  void AddRuling(const httplib::Request& req, httplib::Response& res, const Session& s);
  void Submissions(const httplib::Request& req, httplib::Response& res, const Session& s);
  void Decide(const httplib::Request& req, httplib::Response& res, const Session& s);
  void Zip(const httplib::Request& req, httplib::Response& res);
  void PublicRoutes(httplib::Server& server);
  void Report(const httplib::Request& req, httplib::Response& res, const std::string& form);

  // After a change from a form: back to the page; from JSON: the answer.
  void Done(const httplib::Request& req, httplib::Response& res, const std::string& page,
            const Json& json);
  std::optional<std::string> RulingProblem(const std::string& call, int line,
                                           const std::string& verdict);

  const RobotConfig& config_;
  SubmissionStore& submissions_;
  OrganiserStore& store_;
  OrganiserGate& gate_;
  CheckRunner& runner_;
  Clock clock_;
  MailQueued mail_queued_;
};

}  // namespace velmora::robot
