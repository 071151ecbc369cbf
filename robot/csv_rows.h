#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "robot/robot_json.h"

namespace velmora::robot {

// The rows of a CSV text with a header line, as the check writes it (fields
// quoted when they hold a comma, a quote or a line break).
std::vector<std::vector<std::string>> CsvRows(std::string_view text);

// The rows after the header as objects keyed by the header's names; a field
// that is a whole or decimal number becomes a number.
Json CsvObjects(std::string_view text);

}  // namespace velmora::robot
