#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velmora::robot {

// A zip archive in memory of the files given as (name, bytes); nullopt when
// it cannot be made.
std::optional<std::string> ZipArchive(const std::vector<std::pair<std::string, std::string>>& files);

}  // namespace velmora::robot
