#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

namespace velmora::check {

// Calls known to be real stations, as the lists of contesters' calls keep
// them: one call a line (the first word, in capitals), `#` starts a comment.
using KnownCalls = std::unordered_set<std::string>;
KnownCalls ParseKnownCalls(std::string_view text);

}  // namespace velmora::check
