#include "robot/smtp_transport.h"

#include "engine/text_format.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <random>
#include <string_view>

namespace velmora::robot {

namespace {

constexpr std::size_t kQuotedLineWidth = 75;  // plus the soft break's '=' makes 76
constexpr std::size_t kEncodedWordBytes = 45;  // 60 base64 characters per word

std::int64_t NowUnix() {
  using namespace std::chrono;
  return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

bool HasLineBreak(std::string_view value) {
  return value.find_first_of("\r\n") != std::string_view::npos;
}

bool IsSmtpUrl(std::string_view url) {
  auto starts = [&](std::string_view scheme) {
    return url.size() > scheme.size() &&
           std::equal(scheme.begin(), scheme.end(), url.begin(),
                      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
  };
  return starts("smtp://") || starts("smtps://");
}

// The bare address of "Name <address>" or of "address".
std::string EnvelopeAddress(std::string_view from) {
  std::size_t open = from.find('<');
  std::size_t close = from.find('>', open);
  if (open != std::string_view::npos && close != std::string_view::npos)
    return std::string(from.substr(open + 1, close - open - 1));
  while (!from.empty() && from.front() == ' ') from.remove_prefix(1);
  while (!from.empty() && from.back() == ' ') from.remove_suffix(1);
  return std::string(from);
}

std::string DateValue(std::int64_t now_unix) {
  using namespace std::chrono;
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  sys_seconds time{seconds{now_unix}};
  sys_days day = floor<days>(time);
  year_month_day date{day};
  hh_mm_ss clock{time - day};
  return StrFormat("%s, %02u %s %04d %02d:%02d:%02d +0000", kDays[weekday{day}.c_encoding()],
                   static_cast<unsigned>(date.day()),
                   kMonths[static_cast<unsigned>(date.month()) - 1], static_cast<int>(date.year()),
                   static_cast<int>(clock.hours().count()),
                   static_cast<int>(clock.minutes().count()),
                   static_cast<int>(clock.seconds().count()));
}

std::string Base64(std::string_view bytes) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
    std::uint32_t group = 0;
    for (std::size_t k = 0; k < 3; ++k)
      group = (group << 8) | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
    for (std::size_t k = 0; k < 4; ++k)
      out += k <= n ? kDigits[(group >> (18 - 6 * k)) & 0x3f] : '=';
  }
  return out;
}

// A subject of printable ASCII goes as it is; any other becomes encoded
// words, each on a folded line of its own and none splitting a UTF-8 character.
std::string SubjectValue(std::string_view subject) {
  bool plain = subject.size() < 900 && std::all_of(subject.begin(), subject.end(), [](char c) {
                 return c >= 0x20 && c < 0x7f;
               });
  if (plain) return std::string(subject);
  std::string value;
  while (!subject.empty()) {
    std::size_t n = std::min(kEncodedWordBytes, subject.size());
    while (n < subject.size() && n > 1 && (static_cast<unsigned char>(subject[n]) & 0xc0) == 0x80)
      --n;
    if (!value.empty()) value += "\r\n ";
    value += "=?utf-8?B?" + Base64(subject.substr(0, n)) + "?=";
    subject.remove_prefix(n);
  }
  return value;
}

void AppendQuotedPrintableLine(std::string_view line, std::string& out) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::size_t width = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    auto c = static_cast<unsigned char>(line[i]);
    bool blank = c == ' ' || c == '\t';
    bool literal = (c > 32 && c < 127 && c != '=') || (blank && i + 1 < line.size());
    std::string piece = literal ? std::string(1, static_cast<char>(c))
                                : std::string{'=', kHex[c >> 4], kHex[c & 0xf]};
    if (width + piece.size() > kQuotedLineWidth) {
      out += "=\r\n";
      width = 0;
    }
    out += piece;
    width += piece.size();
  }
  out += "\r\n";
}

std::string QuotedPrintable(std::string_view body) {
  std::string out;
  while (!body.empty()) {
    std::size_t end = body.find('\n');
    std::string_view line = body.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    AppendQuotedPrintableLine(line, out);
    body.remove_prefix(end == std::string_view::npos ? body.size() : end + 1);
  }
  return out;
}

std::string MessageId(std::int64_t id, std::string_view domain) {
  std::random_device random;
  std::string value = StrFormat("<%lld.%lld.%08x%08x@", static_cast<long long>(NowUnix()),
                                static_cast<long long>(id), random(), random());
  value.append(domain).append(">");
  return value;
}

std::optional<std::string> HeaderFault(const OutgoingMail& mail, const std::string& from) {
  if (HasLineBreak(mail.subject)) return "subject carries a line break";
  if (HasLineBreak(mail.to)) return "recipient carries a line break";
  if (HasLineBreak(from)) return "sender carries a line break";
  if (mail.to.empty()) return "no recipient";
  return std::nullopt;
}

std::size_t ReadMessage(char* buffer, std::size_t size, std::size_t count, void* user) {
  auto* rest = static_cast<std::string_view*>(user);
  std::size_t n = std::min(size * count, rest->size());
  std::memcpy(buffer, rest->data(), n);
  rest->remove_prefix(n);
  return n;
}

}  // namespace

CurlGlobal::CurlGlobal() : ok_(curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK) {}

CurlGlobal::~CurlGlobal() {
  if (ok_) curl_global_cleanup();
}

std::string ComposeMessage(const OutgoingMail& mail, const std::string& from,
                           std::int64_t now_unix, const std::string& message_id) {
  std::string text;
  text += "Date: " + DateValue(now_unix) + "\r\n";
  text += "From: " + from + "\r\n";
  text += "To: " + mail.to + "\r\n";
  text += "Subject: " + SubjectValue(mail.subject) + "\r\n";
  text += "Message-ID: " + message_id + "\r\n";
  text += "MIME-Version: 1.0\r\n";
  text += "Content-Type: text/plain; charset=utf-8\r\n";
  text += "Content-Transfer-Encoding: quoted-printable\r\n";
  text += "\r\n";
  text += QuotedPrintable(mail.body);
  return text;
}

bool SmtpTransport::Send(const OutgoingMail& mail, std::string& error) {
  if (!IsSmtpUrl(settings_.url)) {
    error = "relay URL must start with smtp:// or smtps://";
    return false;
  }
  if (auto fault = HeaderFault(mail, settings_.from)) {
    error = "mail refused: " + *fault;
    return false;
  }
  std::string sender = EnvelopeAddress(settings_.from);
  std::size_t at = sender.rfind('@');
  if (at == std::string::npos || at + 1 == sender.size()) {
    error = "sender address has no domain: " + sender;
    return false;
  }
  std::string message =
      ComposeMessage(mail, settings_.from, NowUnix(), MessageId(mail.id, sender.substr(at + 1)));

  std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), &curl_easy_cleanup);
  if (!curl) {
    error = "curl could not start a transfer";
    return false;
  }
  std::string mail_from = "<" + sender + ">";
  std::string rcpt = "<" + mail.to + ">";
  std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> recipients(
      curl_slist_append(nullptr, rcpt.c_str()), &curl_slist_free_all);
  std::string_view rest = message;
  char curl_error[CURL_ERROR_SIZE] = "";

  CURLcode rc = CURLE_OK;
  auto set = [&](CURLoption option, auto value) {
    if (rc == CURLE_OK) rc = curl_easy_setopt(curl.get(), option, value);
  };
  set(CURLOPT_ERRORBUFFER, curl_error);
  set(CURLOPT_URL, settings_.url.c_str());
  set(CURLOPT_MAIL_FROM, mail_from.c_str());
  set(CURLOPT_MAIL_RCPT, recipients.get());
  set(CURLOPT_UPLOAD, 1L);
  set(CURLOPT_READFUNCTION, &ReadMessage);
  set(CURLOPT_READDATA, static_cast<void*>(&rest));
  set(CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(message.size()));
  set(CURLOPT_USE_SSL, static_cast<long>(settings_.user.empty() ? CURLUSESSL_TRY : CURLUSESSL_ALL));
  set(CURLOPT_TIMEOUT, settings_.timeout_seconds);
  set(CURLOPT_CONNECTTIMEOUT, settings_.timeout_seconds);
  set(CURLOPT_NOSIGNAL, 1L);
  if (!settings_.user.empty()) {
    set(CURLOPT_USERNAME, settings_.user.c_str());
    set(CURLOPT_PASSWORD, settings_.password.c_str());
  }
  if (!recipients) rc = CURLE_OUT_OF_MEMORY;
  if (rc == CURLE_OK) rc = curl_easy_perform(curl.get());
  if (rc == CURLE_OK) return true;

  long reply = 0;
  curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &reply);
  error = curl_error[0] != '\0' ? curl_error : curl_easy_strerror(rc);
  if (reply > 0) error += " (SMTP reply " + std::to_string(reply) + ")";
  return false;
}

}  // namespace velmora::robot
