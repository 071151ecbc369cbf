#pragma once

#include <string>

#include "robot/robot_json.h"

namespace httplib {
struct Request;
struct Response;
}  // namespace httplib

namespace velmora::robot {

// The answers every route gives alike: a page or JSON (for /api/ paths),
// and the fields of a form.
bool WantsJson(const httplib::Request& req);
void SendJson(httplib::Response& res, int status, const Json& json);
void SendPage(httplib::Response& res, int status, const std::string& html);
void SendProblem(const httplib::Request& req, httplib::Response& res, int status,
                 const std::string& title, const std::string& message);
// A field of a multipart or url-encoded form, or of a JSON body; empty when
// it is not there.
std::string Field(const httplib::Request& req, const char* name);
std::string Trimmed(std::string text);
// The address the limits count: the peer's, or behind a reverse proxy on
// loopback the last address of X-Forwarded-For (the one the proxy added).
std::string ClientAddress(const httplib::Request& req, bool behind_proxy);

}  // namespace velmora::robot
