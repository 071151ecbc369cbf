#include "robot/smtp_transport.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace velmora::robot {
namespace {

// A relay on loopback that speaks just enough SMTP, one connection at a time,
// and keeps the commands and the un-stuffed message it was given.
class FakeSmtpServer {
 public:
  explicit FakeSmtpServer(int rcpt_reply = 250) : rcpt_reply_(rcpt_reply) {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        listen(listener_, 4) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
      ADD_FAILURE() << "fake relay cannot listen";
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  ~FakeSmtpServer() {
    Finish();
    close(listener_);
  }

  std::string Url() const { return "smtp://127.0.0.1:" + std::to_string(port_); }
  void Finish() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }

  std::vector<std::string> commands;
  std::string message;
  int connections = 0;

 private:
  bool Readable(int fd) {
    pollfd poller{fd, POLLIN, 0};
    while (!stop_)
      if (poll(&poller, 1, 20) > 0) return true;
    return false;
  }
  void Serve() {
    while (Readable(listener_)) {
      int client = accept(listener_, nullptr, nullptr);
      if (client < 0) continue;
      ++connections;
      Talk(client);
      close(client);
    }
  }
  bool ReadLine(int fd, std::string& line) {
    std::size_t end;
    while ((end = pending_.find("\r\n")) == std::string::npos) {
      char chunk[512];
      ssize_t n = Readable(fd) ? recv(fd, chunk, sizeof chunk, 0) : 0;
      if (n <= 0) return false;
      pending_.append(chunk, static_cast<std::size_t>(n));
    }
    line = pending_.substr(0, end);
    pending_.erase(0, end + 2);
    return true;
  }
  void Reply(int fd, const std::string& text) {
    std::string line = text + "\r\n";
    send(fd, line.data(), line.size(), MSG_NOSIGNAL);
  }
  void Talk(int fd) {
    Reply(fd, "220 fake relay");
    bool in_data = false;
    std::string line;
    while (ReadLine(fd, line)) {
      if (in_data) {
        in_data = line != ".";
        if (!in_data) Reply(fd, "250 queued");
        else message += (line.starts_with(".") ? line.substr(1) : line) + "\r\n";
        continue;
      }
      commands.push_back(line);
      std::string verb = line.substr(0, 4);
      if (verb == "EHLO" || verb == "HELO" || verb == "MAIL") Reply(fd, "250 ok");
      else if (verb == "RCPT") Reply(fd, std::to_string(rcpt_reply_) + " recipient");
      else if (verb == "DATA") Reply(fd, "354 go on"), in_data = true;
      else if (verb == "QUIT") return Reply(fd, "221 bye");
      else Reply(fd, "500 what");
    }
  }

  int rcpt_reply_;
  int listener_ = -1;
  int port_ = 0;
  std::string pending_;
  std::atomic<bool> stop_ = false;
  std::thread thread_;
};

class SmtpTransportTest : public ::testing::Test {
 protected:
  SmtpTransport Transport(const std::string& url) {
    return SmtpTransport({url, "Velmora Robot <robot@example.org>", "", "", 5});
  }
  CurlGlobal curl;
  OutgoingMail mail{42, "op@example.net", "Log received", "Hello\n.dot line\n..two\nend\n", 0};
  std::string error;
};

TEST_F(SmtpTransportTest, RelayGetsEnvelopeHeadersAndBodyWithCrlfAndDotsIntact) {
  FakeSmtpServer relay;
  ASSERT_TRUE(Transport(relay.Url()).Send(mail, error)) << error;
  relay.Finish();
  ASSERT_GE(relay.commands.size(), 5u);
  EXPECT_EQ(relay.commands[1], "MAIL FROM:<robot@example.org>");
  EXPECT_EQ(relay.commands[2], "RCPT TO:<op@example.net>");
  EXPECT_EQ(relay.commands.back(), "QUIT");
  const std::string& m = relay.message;
  EXPECT_EQ(m.find('\n'), m.find("\r\n") + 1);
  for (std::size_t lf = m.find('\n'); lf != std::string::npos; lf = m.find('\n', lf + 1))
    EXPECT_TRUE(lf > 0 && m[lf - 1] == '\r') << "bare LF at " << lf;
  EXPECT_THAT(m, ::testing::ContainsRegex(
                     "Date: (Mon|Tue|Wed|Thu|Fri|Sat|Sun), [0-9]{2} [A-Z][a-z]{2} [0-9]{4} "
                     "[0-9]{2}:[0-9]{2}:[0-9]{2} \\+0000\r\n"));
  EXPECT_THAT(m, ::testing::ContainsRegex("\r\nMessage-ID: <[^@ ]+@example\\.org>\r\n"));
  for (const char* header :
       {"\r\nFrom: Velmora Robot <robot@example.org>\r\n", "\r\nTo: op@example.net\r\n",
        "\r\nSubject: Log received\r\n", "\r\nMIME-Version: 1.0\r\n",
        "\r\nContent-Type: text/plain; charset=utf-8\r\n"})
    EXPECT_NE(m.find(header), std::string::npos) << header;
  EXPECT_NE(m.find("\r\n\r\nHello\r\n.dot line\r\n..two\r\nend\r\n"), std::string::npos) << m;
}

TEST_F(SmtpTransportTest, LineBreakInAHeaderValueIsRefusedWithoutConnecting) {
  FakeSmtpServer relay;
  mail.subject = "Receipt\r\nBcc: everyone@example.com";
  EXPECT_FALSE(Transport(relay.Url()).Send(mail, error));
  EXPECT_NE(error.find("subject"), std::string::npos) << error;
  mail.subject = "Receipt";
  mail.to = "op@example.net\nBcc: everyone@example.com";
  EXPECT_FALSE(Transport(relay.Url()).Send(mail, error));
  relay.Finish();
  EXPECT_EQ(relay.connections, 0);
}

TEST_F(SmtpTransportTest, RefusedRecipientGivesFalseWithTheReplyCode) {
  FakeSmtpServer relay(554);
  EXPECT_FALSE(Transport(relay.Url()).Send(mail, error));
  EXPECT_NE(error.find("554"), std::string::npos) << error;
}

TEST_F(SmtpTransportTest, NobodyListeningFailsWithinTheTimeout) {
  int probe = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  bind(probe, reinterpret_cast<sockaddr*>(&address), size);
  getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size);
  close(probe);  // the port was free a moment ago and nothing listens on it now
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(
      Transport("smtp://127.0.0.1:" + std::to_string(ntohs(address.sin_port))).Send(mail, error));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_NE(error.find("connect"), std::string::npos) << error;
}

std::string DecodeQuotedPrintable(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '=') out += text[i];
    else if (text.compare(i + 1, 2, "\r\n") == 0) i += 2;
    else out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16)), i += 2;
  }
  return out;
}

TEST(ComposeMessageTest, DateIsUtcAndTextOutsideAsciiSurvivesTheEncodings) {
  std::string line = "Skóre = 1 234 bodů, " + std::string(120, 'x') + " konec ";
  OutgoingMail mail{1, "op@example.net", "Příjem deníku", line + "\n\tdruhý\n", 0};
  std::string text = ComposeMessage(mail, "robot@example.org", 1709251199, "<id@example.org>");
  EXPECT_TRUE(text.starts_with("Date: Thu, 29 Feb 2024 23:59:59 +0000\r\n"));
  EXPECT_NE(text.find("\r\nSubject: =?utf-8?B?UMWZw61qZW0gZGVuw61rdQ==?=\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nContent-Transfer-Encoding: quoted-printable\r\n"), std::string::npos);
  std::string body = text.substr(text.find("\r\n\r\n") + 4);
  EXPECT_EQ(DecodeQuotedPrintable(body), line + "\r\n\tdruhý\r\n");
  for (std::size_t start = 0, end; (end = body.find("\r\n", start)) != std::string::npos;
       start = end + 2) {
    EXPECT_LE(end - start, 76u);
    EXPECT_NE(body[end - 1], ' ') << "trailing space is lost in transport";
  }
  // A long subject folds into words of whole characters.
  mail.subject = std::string(44, 'a') + "ř" + std::string(10, 'b');
  text = ComposeMessage(mail, "robot@example.org", 0, "<id@example.org>");
  EXPECT_NE(text.find("\r\nSubject: =?utf-8?B?"
                      "YWFhYWFhYWFhYWFhYWFhYWFhYWFhYWFhYWFhYWFhYWFhYWFhYWFhYWFhYWE=?=\r\n"
                      " =?utf-8?B?xZliYmJiYmJiYmJi?=\r\n"),
            std::string::npos);
  EXPECT_TRUE(text.starts_with("Date: Thu, 01 Jan 1970 00:00:00 +0000\r\n"));
}

}  // namespace
}  // namespace velmora::robot
