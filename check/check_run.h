#pragma once

#include <ostream>

#include "check/check_options.h"

namespace velmora::check {

// Exit codes, as velmora-replay's.
constexpr int kCheckOk = 0;
constexpr int kCheckFailed = 1;    // a file of ours could not be written
constexpr int kCheckBadInput = 2;  // bad usage, no log, unreadable country or rulings file

// Reads every log, checks them against each other and writes the results
// into options.out_dir; progress (unless quiet), problems and a summary go
// to `err`.
int RunCheck(const CheckOptions& options, std::ostream& err);

}  // namespace velmora::check
