#pragma once

#include <string>

// printf-style formatting into a std::string. The pattern must be a literal of
// our own: data is passed only as arguments, never as the pattern.
[[gnu::format(printf, 1, 2)]] std::string StrFormat(const char* pattern, ...);
