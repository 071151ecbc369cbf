#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "engine/ole_date_time.h"

namespace velmora::readers {

// Walks a command line one argument at a time for the project's programs:
// the flag, its value, and the value read as a number or a time. Every
// fault throws std::invalid_argument with a message for the user that
// names the flag.
class ArgumentReader {
 public:
  explicit ArgumentReader(const std::vector<std::string>& args) : args_(args) {}

  // Moves to the next argument; false when there is none.
  bool Next() { return ++index_ < args_.size(); }
  const std::string& arg() const { return args_[index_]; }
  // --help or -h sets `help`, --version sets `version`; either ends the
  // parse, so the answer is whether one of them was it.
  bool TakeHelpOrVersion(bool& help, bool& version) const {
    if (arg() == "--help" || arg() == "-h") return help = true;
    if (arg() == "--version") return version = true;
    return false;
  }
  // An option that none of the program's flags matched.
  bool IsUnknownFlag() const { return arg().size() > 1 && arg()[0] == '-'; }

  // The argument after the flag, which it consumes.
  const std::string& Value();
  // That value as a whole number from `low` to `high`; `what` names the
  // unit in the message ("a number", "minutes").
  int NumberValue(int low, int high, const char* what = "a number");
  COleDateTime DateTimeValue();

 private:
  const std::vector<std::string>& args_;
  std::size_t index_ = static_cast<std::size_t>(-1);
};

// "YYYY-MM-DD HH:MM" or "YYYY-MM-DDTHH:MM"; nullopt when it is not one.
std::optional<COleDateTime> ParseDateTime(const std::string& text);

}  // namespace velmora::readers
