#pragma once

#include <string>

namespace velmora {

// The station data and contest dates of the current statistics run.
struct Station {
  std::string StationCall;
  std::string StationPrefix;
  std::string StationContinent;
  std::string HostFolder;
  std::string StartDayMonth;  // "%d.%m"
  std::string StartYear;      // "%Y"
  std::string EndDate;        // "%d.%m.%Y"
};

}  // namespace velmora
