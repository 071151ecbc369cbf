#include "check/serial_in_call.h"

namespace velmora::check {

namespace {

bool Digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<SerialInCall> SplitSerialInCall(std::string_view field) {
  std::size_t end = field.size();
  while (end > 0 && Digit(field[end - 1])) --end;
  const std::size_t digits = field.size() - end;
  if (digits == 0 || digits > 4 || end < 3) return std::nullopt;
  const std::string_view call = field.substr(0, end);
  const char last = call.back();
  if (!((last >= 'A' && last <= 'Z') || (last >= 'a' && last <= 'z'))) return std::nullopt;
  bool has_digit = false;
  for (char c : call) has_digit = has_digit || Digit(c);
  if (!has_digit) return std::nullopt;
  std::uint64_t serial = 0;
  for (char c : field.substr(end)) serial = serial * 10 + static_cast<std::uint64_t>(c - '0');
  return SerialInCall{call, serial};
}

}  // namespace velmora::check
