#pragma once

#include <string_view>

namespace velmora {

// True when the two texts differ at most in the letter case of A-Z, the way
// the host and its settings files compare names.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace velmora
