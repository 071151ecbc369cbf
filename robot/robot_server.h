#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "robot/rate_limiter.h"
#include "robot/robot_config.h"
#include "robot/submission_desk.h"
#include "robot/submission_store.h"

namespace httplib {
class Server;
struct Request;
struct Response;
}  // namespace httplib

namespace velmora::robot {

// The robot's HTTP side: the entrants' pages and their JSON twins on the
// same handlers, with the limits on size, time and rate.
class RobotServer {
 public:
  using Clock = std::function<std::int64_t()>;  // unix seconds

  RobotServer(const RobotConfig& config, SubmissionDesk& desk, SubmissionStore& store,
              Clock clock);
  ~RobotServer();

  // Binds the configured address (port 0: one the system picks); false with
  // `error` when it cannot.
  bool Bind(std::string& error);
  int port() const { return port_; }
  // Serves until Stop(); returns false when serving failed.
  bool Serve();
  // The routes, for more of them (the organisers').
  httplib::Server& http() { return *server_; }
  void Stop();

 private:
  void Routes();
  void Submit(const httplib::Request& req, httplib::Response& res, bool json);
  bool Limited(const httplib::Request& req, httplib::Response& res, bool json);

  const RobotConfig& config_;
  SubmissionDesk& desk_;
  SubmissionStore& store_;
  Clock clock_;
  RateLimiter uploads_;
  std::unique_ptr<httplib::Server> server_;
  int port_ = 0;
};

}  // namespace velmora::robot
