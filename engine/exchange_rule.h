#pragma once

#include <string_view>

namespace velmora {

// The exchange field holds a serial: 3 or 4 decimal digits, but never "599"
// (a report typed into the wrong field).
bool IsValidExchange(std::string_view exchange);

}  // namespace velmora
