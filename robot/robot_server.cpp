#include "robot/robot_server.h"

#include <httplib.h>

#include "robot/http_answers.h"
#include "robot/robot_json.h"
#include "robot/robot_pages.h"

namespace velmora::robot {

namespace {

// A receipt id is 32 hex digits: nothing else reaches the store.
constexpr const char* kReceiptPattern = "([0-9a-f]{32})";

// The download's name: the call with every byte that is not a letter or a
// digit made '-'.
std::string LogFileName(const std::string& call, int version) {
  std::string name;
  for (char c : call) name += (std::isalnum(static_cast<unsigned char>(c)) ? c : '-');
  return name + "-v" + std::to_string(version) + ".log";
}

}  // namespace

RobotServer::RobotServer(const RobotConfig& config, SubmissionDesk& desk, SubmissionStore& store,
                         Clock clock)
    : config_(config), desk_(desk), store_(store), clock_(std::move(clock)),
      uploads_(config.uploads_per_minute), server_(std::make_unique<httplib::Server>()) {
  // Room for the multipart framing and the small fields beside the log.
  server_->set_payload_max_length(config.max_upload_bytes + 64 * 1024);
  server_->set_read_timeout(config.read_timeout_seconds, 0);
  server_->set_write_timeout(config.read_timeout_seconds, 0);
  // Workers enough that idle keep-alive connections (a browser keeps one a
  // while after each page) do not make others wait; such a connection is let
  // go after 2 s.
  server_->new_task_queue = [] { return new httplib::ThreadPool(64); };
  server_->set_keep_alive_timeout(2);
  server_->set_tcp_nodelay(true);  // small answers leave at once on a kept connection
  server_->set_default_headers({
      {"Content-Security-Policy",
       "default-src 'none'; style-src 'self'; img-src 'self'; form-action 'self'; "
       "frame-ancestors 'none'; base-uri 'none'"},
      {"X-Content-Type-Options", "nosniff"},
      {"Referrer-Policy", "no-referrer"},
      {"Cache-Control", "no-store"},
  });
  Routes();
}

RobotServer::~RobotServer() = default;

bool RobotServer::Bind(std::string& error) {
  if (config_.listen_port == 0) {
    port_ = server_->bind_to_any_port(config_.listen_host);
    if (port_ > 0) return true;
  } else if (server_->bind_to_port(config_.listen_host, config_.listen_port)) {
    port_ = config_.listen_port;
    return true;
  }
  error = "cannot listen on " + config_.listen_host + ":" + std::to_string(config_.listen_port) +
          " (in use, or not an address of this machine)";
  return false;
}

bool RobotServer::Serve() { return server_->listen_after_bind(); }

void RobotServer::Stop() { server_->stop(); }

bool RobotServer::Limited(const httplib::Request& req, httplib::Response& res, bool json) {
  int retry_after = 0;
  if (uploads_.Allow(ClientAddress(req, config_.behind_proxy), clock_(), retry_after))
    return false;
  res.set_header("Retry-After", std::to_string(retry_after));
  const std::string message = "too many uploads from this address: at most " +
                              std::to_string(config_.uploads_per_minute) +
                              " a minute; try again in " + std::to_string(retry_after) + " s";
  if (json) SendJson(res, 429, {{"status", "too-many"}, {"message", message}});
  else SendPage(res, 429, MessagePage("Too many uploads", message));
  return true;
}

void RobotServer::Submit(const httplib::Request& req, httplib::Response& res, bool json) {
  if (Limited(req, res, json)) return;
  Upload upload;
  upload.bytes = Field(req, "log");
  if (upload.bytes.empty()) upload.bytes = Field(req, "text");
  if (upload.bytes.size() > config_.max_upload_bytes) {
    SendProblem(req, res, 413, "Log too large",
                "the log is over the limit of " + std::to_string(config_.max_upload_bytes) +
                    " bytes; nothing was stored");
    return;
  }
  upload.email = Trimmed(Field(req, "email"));
  upload.token = Trimmed(Field(req, "token"));
  const std::string confirm = Field(req, "confirm");
  upload.confirmed = confirm == "1" || confirm == "yes" || confirm == "true" || confirm == "on";
  upload.now = clock_();
  const UploadAnswer answer = desk_.Submit(upload);
  int status = 200;
  Json body = UploadAnswerJson(answer, status);
  if (json) SendJson(res, status, body);
  else SendPage(res, status, UploadAnswerPage(answer, config_));
}

void RobotServer::Routes() {
  httplib::Server& s = *server_;
  s.Get("/", [this](const httplib::Request&, httplib::Response& res) {
    SendPage(res, 200, UploadPage(config_));
  });
  s.Get("/style.css", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(kStyleSheet, "text/css; charset=utf-8");
  });
  s.Post("/submit", [this](const httplib::Request& req, httplib::Response& res) {
    Submit(req, res, false);
  });
  s.Post("/api/submit", [this](const httplib::Request& req, httplib::Response& res) {
    Submit(req, res, true);
  });
  s.Get("/logs", [this](const httplib::Request&, httplib::Response& res) {
    SendPage(res, 200, LogsPage(store_.List()));
  });
  s.Get("/api/logs", [this](const httplib::Request&, httplib::Response& res) {
    SendJson(res, 200, LogsJson(store_.List()));
  });
  s.Get(std::string("/receipt/") + kReceiptPattern,
        [this](const httplib::Request& req, httplib::Response& res) {
          std::optional<Submission> found = store_.Find(req.matches[1], false);
          if (!found) return SendProblem(req, res, 404, "No such receipt", "no such receipt");
          SendPage(res, 200, ReceiptPage(*found, config_));
        });
  s.Get(std::string("/api/receipt/") + kReceiptPattern,
        [this](const httplib::Request& req, httplib::Response& res) {
          std::optional<Submission> found = store_.Find(req.matches[1], false);
          if (!found) return SendProblem(req, res, 404, "No such receipt", "no such receipt");
          SendJson(res, 200, ReceiptJson(*found));
        });
  s.Get(std::string("/api/receipt/") + kReceiptPattern + "/log",
        [this](const httplib::Request& req, httplib::Response& res) {
          std::optional<Submission> found = store_.Find(req.matches[1], true);
          if (!found) return SendProblem(req, res, 404, "No such receipt", "no such receipt");
          res.set_header("Content-Disposition",
                         "attachment; filename=\"" + LogFileName(found->call, found->version) +
                             "\"");
          res.set_content(found->bytes, "application/octet-stream");
        });
  s.set_error_handler([](const httplib::Request& req, httplib::Response& res) {
    if (!res.body.empty()) return;
    if (res.status == 413)
      return SendProblem(req, res, 413, "Log too large",
                         "the upload is over the size limit; nothing was stored");
    if (res.status == 404) return SendProblem(req, res, 404, "Not found", "no such page");
    SendProblem(req, res, res.status, "Request refused",
                "the request could not be served (HTTP " + std::to_string(res.status) + ")");
  });
  s.set_exception_handler(
      [](const httplib::Request& req, httplib::Response& res, std::exception_ptr error) {
        std::string what = "internal error";
        try {
          if (error) std::rethrow_exception(error);
        } catch (const StoreError& e) {
          return SendProblem(req, res, 503, "Database unavailable",
                             std::string("the database cannot be read just now: ") + e.what());
        } catch (const std::exception& e) {
          what = e.what();
        } catch (...) {
        }
        SendProblem(req, res, 500, "Internal error", what);
      });
}

}  // namespace velmora::robot
