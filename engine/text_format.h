#pragma once

#include <string>

// printf-style formatting into a std::string. The pattern must be a literal of
// our own: data is passed only as arguments, never as the pattern.
// MinGW's GCC would check "printf" patterns against the old Microsoft
// runtime; the plug-in is built for the C99 one, so name that dialect.
#if defined(__MINGW32__) && !defined(__clang__)
#define VELMORA_PRINTF_FORMAT gnu_printf
#else
#define VELMORA_PRINTF_FORMAT printf
#endif
[[gnu::format(VELMORA_PRINTF_FORMAT, 1, 2)]] std::string StrFormat(const char* pattern, ...);
