#pragma once

#include <string_view>

namespace velmora::check {

// Whether a receiving operator could have copied `written` for `sent`: the
// calls differ in one character (changed, added or left out), in two
// neighbours swapped, or in a character heard as two whose Morse codes run
// together into its code ("A" .- for "ET" . -, "S" ... for "EI" or "IE").
bool CallsAlike(std::string_view sent, std::string_view written);

// How many characters changed, added, left out or swapped with a neighbour
// turn one call into the other.
int CallDistance(std::string_view a, std::string_view b);

}  // namespace velmora::check
