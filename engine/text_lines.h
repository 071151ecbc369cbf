#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// The lines of a text file without their ends; LF and CR LF both end a line,
// and a last line without an end still counts.
std::vector<std::string> SplitLines(std::string_view text);

// The text with each CR and LF as a space: a value from the host that must
// stay within one line of a file.
std::string OnOneLine(std::string_view text);

}  // namespace velmora
