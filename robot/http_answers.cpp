#include "robot/http_answers.h"

#include <httplib.h>

#include "robot/robot_pages.h"

namespace velmora::robot {

bool WantsJson(const httplib::Request& req) { return req.path.rfind("/api/", 0) == 0; }

void SendJson(httplib::Response& res, int status, const Json& json) {
  res.status = status;
  res.set_content(DumpJson(json) + "\n", "application/json");
}

void SendPage(httplib::Response& res, int status, const std::string& html) {
  res.status = status;
  res.set_content(html, "text/html; charset=utf-8");
}

void SendProblem(const httplib::Request& req, httplib::Response& res, int status,
                 const std::string& title, const std::string& message) {
  if (WantsJson(req)) SendJson(res, status, {{"status", "error"}, {"message", message}});
  else SendPage(res, status, MessagePage(title, message));
}

std::string Field(const httplib::Request& req, const char* name) {
  if (req.has_file(name)) return req.get_file_value(name).content;
  if (req.has_param(name)) return req.get_param_value(name);
  if (req.get_header_value("Content-Type").rfind("application/json", 0) == 0) {
    Json body = Json::parse(req.body, nullptr, false);
    if (body.is_object() && body.contains(name)) {
      const Json& value = body[name];
      if (value.is_string()) return value.get<std::string>();
      if (value.is_number_integer()) return std::to_string(value.get<long long>());
    }
  }
  return "";
}

std::string Trimmed(std::string text) {
  const char* blanks = " \t\r\n";
  text.erase(0, text.find_first_not_of(blanks));
  text.erase(text.find_last_not_of(blanks) + 1);
  return text;
}

}  // namespace velmora::robot

namespace velmora::robot {

std::string ClientAddress(const httplib::Request& req, bool behind_proxy) {
  const bool loopback = req.remote_addr == "127.0.0.1" || req.remote_addr == "::1" ||
                        req.remote_addr == "::ffff:127.0.0.1";
  if (!behind_proxy || !loopback || !req.has_header("X-Forwarded-For")) return req.remote_addr;
  const std::string forwarded = req.get_header_value("X-Forwarded-For");
  const std::size_t comma = forwarded.rfind(',');
  std::string last = Trimmed(comma == std::string::npos ? forwarded : forwarded.substr(comma + 1));
  return last.empty() || last.size() > 64 ? req.remote_addr : last;
}

}  // namespace velmora::robot
