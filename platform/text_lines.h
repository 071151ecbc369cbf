#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// Calls `visit` with each line of a text file, without its end; LF and CR LF
// both end a line, and a last line without an end still counts.
template <typename Visit>
void ForEachLine(std::string_view text, Visit visit) {
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    const std::size_t stop = end == std::string_view::npos ? text.size() : end;
    std::string_view line = text.substr(start, stop - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    visit(line);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
}

// The lines of a text file, as ForEachLine finds them.
std::vector<std::string> SplitLines(std::string_view text);

// The text with each CR and LF as a space: a value from the host that must
// stay within one line of a file.
std::string OnOneLine(std::string_view text);

}  // namespace velmora
