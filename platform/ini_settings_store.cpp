#include "platform/ini_settings_store.h"

#include <optional>
#include <vector>

#include "platform/text_case.h"
#include "platform/text_lines.h"

namespace velmora {

namespace {

constexpr std::string_view kSection = "Settings";

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// The section name of a "[name]" line.
std::optional<std::string_view> SectionOf(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  std::size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

bool IsKeyLine(std::string_view line, std::string_view key) {
  std::size_t eq = line.find('=');
  return eq != std::string_view::npos && EqualsIgnoringCase(Trim(line.substr(0, eq)), key);
}

struct Layout {
  std::vector<std::string> lines;
  int section = -1;   // index of the "[Settings]" line
  int key = -1;       // index of the key's line within the section
  int last_entry = -1;  // last non-blank line of the section
};

Layout Parse(const std::string& text, std::string_view key) {
  Layout layout;
  layout.lines = SplitLines(text);
  bool inside = false;
  for (int i = 0; i < static_cast<int>(layout.lines.size()); ++i) {
    const std::string& line = layout.lines[static_cast<std::size_t>(i)];
    if (auto name = SectionOf(line)) {
      inside = layout.section < 0 && EqualsIgnoringCase(*name, kSection);
      if (inside) layout.section = layout.last_entry = i;
      continue;
    }
    if (!inside) continue;
    if (!Trim(line).empty()) layout.last_entry = i;
    if (layout.key < 0 && IsKeyLine(line, key)) layout.key = i;
  }
  return layout;
}

std::string Join(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text.append(line).append("\r\n");
  return text;
}

}  // namespace

std::string IniSettingsStore::Read(std::string_view key) {
  std::optional<std::string> text = files_.ReadFile(path_);
  if (!text) return std::string();
  Layout layout = Parse(*text, key);
  if (layout.key < 0) return std::string();
  const std::string& line = layout.lines[static_cast<std::size_t>(layout.key)];
  std::string_view value = Trim(std::string_view(line).substr(line.find('=') + 1));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return std::string(value);
}

bool IniSettingsStore::Write(std::string_view key, std::string_view value) {
  std::optional<std::string> earlier = files_.ReadFile(path_);
  // A file that is there but cannot be read now is not replaced by one key.
  if (!earlier && files_.Exists(path_)) return false;
  Layout layout = Parse(earlier.value_or(std::string()), key);
  std::string entry(key);
  entry.append("=").append(OnOneLine(value));
  auto& lines = layout.lines;
  if (layout.key >= 0) {
    lines[static_cast<std::size_t>(layout.key)] = entry;
  } else if (layout.section >= 0) {
    lines.insert(lines.begin() + layout.last_entry + 1, entry);
  } else {
    lines.push_back(std::string("[").append(kSection).append("]"));
    lines.push_back(entry);
  }
  return files_.ReplaceFile(path_, Join(lines));
}

}  // namespace velmora
