#include "robot/robot_config.h"

#include <chrono>
#include <cmath>
#include <stdexcept>

#include "engine/text_format.h"
#include "readers/argument_reader.h"
#include "readers/text_scan.h"

namespace velmora::robot {

namespace {

constexpr double kUnixEpochDays = 25569.0;  // 1970-01-01 in the host's day count

std::vector<std::string> Words(std::string_view text) {
  std::vector<std::string> words;
  std::size_t pos = 0;
  while (pos < text.size()) {
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t' || text[pos] == ','))
      ++pos;
    std::size_t end = pos;
    while (end < text.size() && text[end] != ' ' && text[end] != '\t' && text[end] != ',') ++end;
    if (end > pos) words.push_back(UpperAscii(text.substr(pos, end - pos)));
    pos = end;
  }
  return words;
}

class LineReader {
 public:
  LineReader(const std::string& file_name, int line) : file_(file_name), line_(line) {}

  [[noreturn]] void Fail(const std::string& what) const {
    throw std::invalid_argument(file_ + ":" + std::to_string(line_) + ": " + what);
  }
  COleDateTime Time(const std::string& key, const std::string& value) const {
    std::optional<COleDateTime> time = readers::ParseDateTime(value);
    if (!time) Fail(key + " needs a time as YYYY-MM-DD HH:MM (UTC), not \"" + value + "\"");
    return *time;
  }
  long long Number(const std::string& key, const std::string& value, long long low,
                   long long high) const {
    int digits = 0;
    long long number = 0;
    for (char c : value) {
      if (c < '0' || c > '9' || ++digits > 12) Fail(key + " needs a whole number, not \"" + value + "\"");
      number = number * 10 + (c - '0');
    }
    if (digits == 0 || number < low || number > high)
      Fail(key + " must be from " + std::to_string(low) + " to " + std::to_string(high));
    return number;
  }

 private:
  const std::string& file_;
  int line_;
};

void Apply(RobotConfig& c, const std::string& key, const std::string& value,
           const LineReader& in) {
  if (key == "listen") {
    if (!SetListenAddress(c, value)) in.Fail("listen needs HOST:PORT, not \"" + value + "\"");
  } else if (key == "country-file") {
    c.cty_file = value;
  } else if (key == "contest-start") {
    c.contest_start = in.Time(key, value);
  } else if (key == "contest-end") {
    c.contest_end = in.Time(key, value);
  } else if (key == "submissions-open") {
    c.open_unix = UnixSeconds(in.Time(key, value));
  } else if (key == "submissions-close") {
    c.close_unix = UnixSeconds(in.Time(key, value));
  } else if (key.rfind("category-", 0) == 0 && key.size() > 9) {
    std::vector<std::string> values = Words(value);
    if (values.empty()) in.Fail(key + " needs at least one value");
    c.categories[UpperAscii(key)] = values;
  } else if (key == "max-upload-bytes") {
    c.max_upload_bytes = static_cast<std::size_t>(in.Number(key, value, 1024, 1LL << 30));
  } else if (key == "uploads-per-minute") {
    c.uploads_per_minute = static_cast<int>(in.Number(key, value, 1, 100000));
  } else if (key == "read-timeout-seconds") {
    c.read_timeout_seconds = static_cast<int>(in.Number(key, value, 1, 3600));
  } else if (key == "behind-proxy") {
    if (value != "yes" && value != "no") in.Fail("behind-proxy is yes or no, not \"" + value + "\"");
    c.behind_proxy = value == "yes";
  } else if (key == "mail-relay") {
    c.mail_relay = value;
  } else if (key == "mail-from") {
    c.mail_from = value;
  } else if (key == "mail-user") {
    c.mail_user = value;
  } else if (key == "mail-password") {
    c.mail_password = value;
  } else if (key == "public-url") {
    c.public_url = value;
    while (!c.public_url.empty() && c.public_url.back() == '/') c.public_url.pop_back();
  } else if (key == "missing-threshold") {
    c.missing_threshold = static_cast<int>(in.Number(key, value, 1, 100000));
  } else if (key == "submissions-page-rows") {
    c.submissions_page_rows = static_cast<int>(in.Number(key, value, 10, 5000));
  } else {
    in.Fail("unknown setting \"" + key + "\"");
  }
}

}  // namespace

std::map<std::string, std::vector<std::string>> DefaultCategories() {
  return {
      {"CATEGORY-OPERATOR", {"SINGLE-OP", "MULTI-OP", "CHECKLOG"}},
      {"CATEGORY-BAND",
       {"ALL", "160M", "80M", "40M", "20M", "15M", "10M", "80M-40M", "20M-15M-10M"}},
      {"CATEGORY-POWER", {"HIGH", "LOW", "QRP"}},
      {"CATEGORY-MODE", {"CW"}},
      {"CATEGORY-TIME", {"12-HOURS", "24-HOURS"}},
      {"CATEGORY-TRANSMITTER", {"ONE", "TWO", "UNLIMITED"}},
      {"CATEGORY-OVERLAY", {"JUNIOR"}},
      {"CATEGORY-STATION", {"FIXED", "PORTABLE"}},
  };
}

RobotConfig ParseRobotConfig(std::string_view text, const std::string& file_name) {
  RobotConfig config;
  config.categories = DefaultCategories();
  int number = 0;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    ++number;
    if (std::size_t hash = line.find('#'); hash != std::string_view::npos)
      line = line.substr(0, hash);
    line = TrimBlanks(line);
    if (line.empty()) continue;
    LineReader in(file_name, number);
    std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) in.Fail("a setting is \"key = value\"");
    std::string key = LowerAscii(TrimBlanks(line.substr(0, eq)));
    std::string value(TrimBlanks(line.substr(eq + 1)));
    Apply(config, key, value, in);
  }
  if (config.contest_start && config.contest_end &&
      config.contest_end->Days() < config.contest_start->Days())
    throw std::invalid_argument(file_name + ": contest-end is before contest-start");
  if (config.open_unix && config.close_unix && *config.close_unix < *config.open_unix)
    throw std::invalid_argument(file_name + ": submissions-close is before submissions-open");
  return config;
}

bool SetListenAddress(RobotConfig& config, const std::string& host_port) {
  std::size_t colon = host_port.rfind(':');
  if (colon == std::string::npos || colon == 0) return false;
  int port = 0;
  if (!ParseDigits(host_port.substr(colon + 1), port) || port > 65535) return false;
  std::string host = host_port.substr(0, colon);
  if (host.size() > 2 && host.front() == '[' && host.back() == ']')
    host = host.substr(1, host.size() - 2);
  config.listen_host = host;
  config.listen_port = port;
  return true;
}

std::int64_t UnixSeconds(const COleDateTime& time) {
  return static_cast<std::int64_t>(std::llround((time.LinearDays() - kUnixEpochDays) * 86400.0));
}

std::string UtcText(std::int64_t unix_seconds) {
  using namespace std::chrono;
  const sys_seconds time{seconds{unix_seconds}};
  const sys_days day = floor<days>(time);
  const year_month_day date{day};
  const hh_mm_ss clock{time - day};
  return StrFormat("%04d-%02u-%02u %02d:%02d:%02d UTC", static_cast<int>(date.year()),
                   static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                   static_cast<int>(clock.hours().count()),
                   static_cast<int>(clock.minutes().count()),
                   static_cast<int>(clock.seconds().count()));
}

}  // namespace velmora::robot
