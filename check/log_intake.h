#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "check/contest.h"
#include "readers/country_file.h"

namespace velmora::check {

// Turns the text of one Cabrillo log into an entrant: the replay's reader,
// the country file's entities, the plug-in's verdict and points per QSO line
// and its claimed score. Texts go into the contest's shared tables; several
// threads may read logs at once, each with an Intake of its own.
class Intake {
 public:
  Intake(const CountryFile& cty, Contest& contest, std::mutex& tables_mutex)
      : cty_(cty), contest_(contest), tables_mutex_(tables_mutex) {}

  // The entrant, or nullopt when the text is no log we can use (then
  // `problems` says why). Lines that cannot be used are reported as
  // "FILE:LINE: what" in `problems` and kept as rejected lines.
  std::optional<Entrant> Read(std::string_view text, const std::string& file_name,
                              std::vector<std::string>& problems);

 private:
  const std::optional<Entity>& Lookup(const std::string& call);

  const CountryFile& cty_;
  Contest& contest_;
  std::mutex& tables_mutex_;
  std::unordered_map<std::string, std::optional<Entity>> entities_;  // this thread's cache
};

// The category of a log from its CATEGORY-OPERATOR:, CATEGORY-BAND: and
// CATEGORY-POWER: headers (Cabrillo 2.0: CATEGORY:), "UNKNOWN" without them.
std::string CategoryOf(std::string_view text);

}  // namespace velmora::check
