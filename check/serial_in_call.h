#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace velmora::check {

// A call field holding a call and the serial typed after it ("OK1FGD063"):
// the call (ending in a letter, with a digit in it) and the serial's value.
struct SerialInCall {
  std::string_view call;
  std::uint64_t serial;
};
std::optional<SerialInCall> SplitSerialInCall(std::string_view field);

}  // namespace velmora::check
