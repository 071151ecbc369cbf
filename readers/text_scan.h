#pragma once

#include <string>
#include <string_view>

// Small text helpers shared by the log and country-file readers. They work on
// ASCII only and leave every other byte as it is.

std::string_view TrimBlanks(std::string_view text);
std::string UpperAscii(std::string_view text);
std::string LowerAscii(std::string_view text);

// A text whose lines end in CR alone (old Mac editors) as one whose lines end
// in LF, written into `copy`; any other text as it is (CR LF stays).
std::string_view WithLineFeeds(std::string_view text, std::string& copy);
// The text after a UTF-8 byte-order mark, if it starts with one.
std::string_view WithoutByteOrderMark(std::string_view text);

// One line of a text, without its LF, and its 1-based number.
struct TextLine {
  std::size_t number;
  std::string_view text;
};

// Calls `visit` for every line of `text`.
template <typename Visit>
void ForEachLine(std::string_view text, Visit visit) {
  std::size_t pos = 0, number = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    visit(TextLine{++number, text.substr(pos, end - pos)});
    pos = end + 1;
  }
}

// True when `text` is 1 to 9 decimal digits; the value goes to `value`.
bool ParseDigits(std::string_view text, int& value);

// Throws LogReadError with the message "FILE:LINE: what".
[[noreturn]] void ThrowReadError(const std::string& file_name, int line,
                                 const std::string& what);
