#pragma once

#include <string>
#include <string_view>

namespace velmora {

// Replaces every occurrence of `search` in `text`, scanning left to right;
// replaced text is not scanned again. An empty `search`, or a `search` equal
// to `replacement`, leaves the text as it is.
std::string ReplaceAll(std::string text, std::string_view search,
                       std::string_view replacement);

}  // namespace velmora
