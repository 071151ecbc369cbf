#include "results/cabrillo_file_name.h"

#include "engine/contest_rules.h"
#include "results/text_replace.h"

namespace velmora {

namespace {

bool IsWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool IsForbiddenInFileName(char c) {
  const auto byte = static_cast<unsigned char>(c);
  if (byte < 0x20) return true;
  for (char forbidden : {'<', '>', ':', '"', '|', '?', '*', '/', '\\'})
    if (c == forbidden) return true;
  return false;
}

bool IsDeviceName(std::string_view name) {
  for (const char* device : {"CON", "PRN", "AUX", "NUL"})
    if (EqualsIgnoringCase(name, device)) return true;
  if (name.size() != 4 || name[3] < '1' || name[3] > '9') return false;
  return EqualsIgnoringCase(name.substr(0, 3), "COM") ||
         EqualsIgnoringCase(name.substr(0, 3), "LPT");
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsWhiteSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsWhiteSpace(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::string CabrilloFileBase(std::string_view station_call) {
  std::string base = ReplaceAll(std::string(station_call), "/", "_");
  base = ReplaceAll(std::move(base), "\\", "_");
  base = std::string(Trimmed(base));
  if (base.empty()) return "RDRC";
  for (char& c : base)
    if (IsForbiddenInFileName(c)) c = '_';
  if (IsDeviceName(base)) base += '_';
  return base;
}

}  // namespace velmora
