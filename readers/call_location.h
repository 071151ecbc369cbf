#pragma once

#include <functional>
#include <optional>
#include <string>

// Which part of a call tells where the station is operated from. The call is
// split at '/'. Suffixes that say how a station operates (/P, /M, /QRP, ...)
// are not places; /MM and /AM put the station in no entity (nullopt). A
// one-digit part is a new call area of the longest other part
// ("W1AW/4" -> "W4AW"). Of the remaining parts the shortest is the place; on
// a tie the one written first, unless only a later one is listed in the
// country file as a prefix or exact call ("AA7V/VP2V" -> "VP2V").
// `listed` answers whether a whole part is such a prefix or exact call.
std::optional<std::string> CallLocation(
    const std::string& call, const std::function<bool(const std::string&)>& listed);
