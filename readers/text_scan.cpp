#include "readers/text_scan.h"

#include "readers/log_qso.h"

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

}  // namespace

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string UpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool ParseDigits(std::string_view text, int& value) {
  if (text.empty() || text.size() > 9) return false;
  int result = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    result = result * 10 + (c - '0');
  }
  value = result;
  return true;
}

void ThrowReadError(const std::string& file_name, int line, const std::string& what) {
  throw LogReadError(file_name + ":" + std::to_string(line) + ": " + what);
}

std::string_view WithLineFeeds(std::string_view text, std::string& copy) {
  bool lone_cr = false;
  for (std::size_t i = 0; i < text.size() && !lone_cr; ++i)
    lone_cr = text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n');
  if (!lone_cr) return text;
  copy.assign(text);
  for (std::size_t i = 0; i < copy.size(); ++i)
    if (copy[i] == '\r' && (i + 1 == copy.size() || copy[i + 1] != '\n')) copy[i] = '\n';
  return copy;
}

std::string_view WithoutByteOrderMark(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  return text;
}
