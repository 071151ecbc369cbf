#include "readers/argument_reader.h"

#include <cstdio>
#include <stdexcept>

namespace velmora::readers {

const std::string& ArgumentReader::Value() {
  if (index_ + 1 >= args_.size()) throw std::invalid_argument(arg() + " needs a value");
  return args_[++index_];
}

int ArgumentReader::NumberValue(int low, int high, const char* what) {
  const std::string& flag = arg();
  const std::string& text = Value();
  int value = 0;
  char end;
  if (std::sscanf(text.c_str(), "%d%c", &value, &end) != 1 || value < low || value > high)
    throw std::invalid_argument(flag + " wants " + what + " from " + std::to_string(low) +
                                " to " + std::to_string(high) + ", not '" + text + "'");
  return value;
}

COleDateTime ArgumentReader::DateTimeValue() {
  const std::string& flag = arg();
  const std::string& text = Value();
  std::optional<COleDateTime> t = ParseDateTime(text);
  if (!t) throw std::invalid_argument(flag + " wants 'YYYY-MM-DD HH:MM', not '" + text + "'");
  return *t;
}

std::optional<COleDateTime> ParseDateTime(const std::string& text) {
  int y, mo, d, h, mi;
  char sep, end;
  if (std::sscanf(text.c_str(), "%4d-%2d-%2d%c%2d:%2d%c", &y, &mo, &d, &sep, &h, &mi,
                  &end) != 6 ||
      (sep != ' ' && sep != 'T'))
    return std::nullopt;
  COleDateTime t = COleDateTime::FromParts(y, mo, d, h, mi, 0);
  if (t.GetStatus() != COleDateTime::kValid) return std::nullopt;
  return t;
}

}  // namespace velmora::readers
