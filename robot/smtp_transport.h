#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "robot/outbox.h"

namespace velmora::robot {

// Hands one mail to whatever carries it on. The mailer knows only this, so
// its tests can use a relay that fails on purpose.
class MailTransport {
 public:
  virtual ~MailTransport() = default;
  // True once the relay has accepted the mail; otherwise false and `error`
  // tells why in one line.
  virtual bool Send(const OutgoingMail& mail, std::string& error) = 0;
};

struct RelaySettings {
  // smtp://host:port (STARTTLS when the relay offers it) or smtps://host:port
  // (TLS from the start). A path names the EHLO domain: smtp://host:25/robot.example.org
  std::string url;
  // The sender, "robot@example.org" or "Velmora Robot <robot@example.org>",
  // ASCII only. Its domain also ends every Message-ID.
  std::string from;
  // AUTH when `user` is set; then TLS is required even for smtp://, so a
  // password never travels in clear.
  std::string user, password;
  long timeout_seconds = 30;  // the whole exchange, connect included
};

// libcurl's global set-up for the life of the program. main holds one before
// it starts any thread; nothing else calls curl_global_init.
class CurlGlobal {
 public:
  CurlGlobal();
  ~CurlGlobal();
  CurlGlobal(const CurlGlobal&) = delete;
  CurlGlobal& operator=(const CurlGlobal&) = delete;
  bool ok() const { return ok_; }

 private:
  bool ok_ = false;
};

// The message as it goes to the relay: headers, a blank line and the body in
// quoted-printable UTF-8, every line ended by CRLF. A subject outside ASCII
// becomes RFC 2047 encoded words. Dots at line starts are left to curl,
// which stuffs them during the upload.
std::string ComposeMessage(const OutgoingMail& mail, const std::string& from,
                           std::int64_t now_unix, const std::string& message_id);

// Sends each mail in a connection of its own through the relay, with libcurl.
// Refuses, without connecting, a mail whose header values carry CR or LF.
class SmtpTransport : public MailTransport {
 public:
  explicit SmtpTransport(RelaySettings settings) : settings_(std::move(settings)) {}
  bool Send(const OutgoingMail& mail, std::string& error) override;

 private:
  RelaySettings settings_;
};

}  // namespace velmora::robot
