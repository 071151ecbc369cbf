#include "check/known_calls.h"

#include "readers/text_scan.h"

namespace velmora::check {

KnownCalls ParseKnownCalls(std::string_view text) {
  KnownCalls calls;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    line = line.substr(0, line.find('#'));
    const std::size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) continue;
    line.remove_prefix(first);
    calls.insert(UpperAscii(line.substr(0, line.find_first_of(" \t\r,"))));
  }
  return calls;
}

}  // namespace velmora::check
