#include "check/known_calls.h"

#include "readers/text_scan.h"

namespace velmora::check {

KnownCalls ParseKnownCalls(std::string_view text) {
  KnownCalls calls;
  ForEachLine(text, [&](const TextLine& l) {
    std::string_view line = l.text.substr(0, l.text.find('#'));
    const std::size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return;
    line.remove_prefix(first);
    calls.insert(UpperAscii(line.substr(0, line.find_first_of(" \t\r,"))));
  });
  return calls;
}

}  // namespace velmora::check
