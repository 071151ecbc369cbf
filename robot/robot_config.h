#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ole_date_time.h"

namespace velmora::robot {

// Everything an organiser sets for one contest's robot. The defaults run a
// robot that takes logs at once: submissions open, no contest period, no mail.
struct RobotConfig {
  std::string listen_host = "127.0.0.1";
  int listen_port = 8080;
  std::string cty_file = "/usr/share/hamradio-files/cty.dat";

  // The contest period QSO times are held against (UTC, whole minutes, both
  // ends inclusive as velmora-check takes them); none: no QSO is outside.
  std::optional<COleDateTime> contest_start, contest_end;
  // Submissions: before `open` none is taken; after `close` a log is stored
  // as late. Unix seconds, UTC.
  std::optional<std::int64_t> open_unix, close_unix;

  // Per CATEGORY-* header, the values the contest has. A header not named
  // here is not held against a list.
  std::map<std::string, std::vector<std::string>> categories;

  std::size_t max_upload_bytes = 5 * 1024 * 1024;
  int uploads_per_minute = 20;  // per client address
  int read_timeout_seconds = 10;
  // Behind a reverse proxy on this machine: the client's address is the last
  // one of X-Forwarded-For on requests that come from loopback.
  bool behind_proxy = false;

  std::string mail_relay;  // smtp:// or smtps:// URL; empty: no mail at all
  std::string mail_from, mail_user, mail_password;
  std::string public_url;  // empty: http://HOST:PORT of the address it listens on

  int missing_threshold = 5;  // the organisers' list of logs to chase
  int submissions_page_rows = 200;  // the organisers' list of versions, a page at a time
};

// The contest's categories as the plug-in's header form offers them, on the
// contest's bands and its one mode.
std::map<std::string, std::vector<std::string>> DefaultCategories();

// Reads "key = value" lines ('#' starts a comment). Throws
// std::invalid_argument with "FILE:LINE: what" for an unknown key or a value
// that cannot be read.
RobotConfig ParseRobotConfig(std::string_view text, const std::string& file_name);

// "HOST:PORT" into the config; false when it is not one.
bool SetListenAddress(RobotConfig& config, const std::string& host_port);

// Unix seconds of a time as the logs and the configuration give it.
std::int64_t UnixSeconds(const COleDateTime& time);
// "2026-12-09 13:05:00 UTC".
std::string UtcText(std::int64_t unix_seconds);

}  // namespace velmora::robot
