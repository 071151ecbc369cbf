#include "platform/win32/win32_settings_store.h"

#include "platform/text_lines.h"

namespace velmora {

namespace {

constexpr char kSection[] = "Settings";
constexpr DWORD kFirstSize = 256;
constexpr DWORD kLargestSize = 1u << 24;

}  // namespace

// The profile function cuts a value that does not fit and then reports
// size - 1 characters: read again with a larger buffer until it fits.
std::string Win32SettingsStore::Read(std::string_view key) {
  const std::string name(key);
  std::string buffer;
  for (DWORD size = kFirstSize; size <= kLargestSize; size *= 2) {
    buffer.assign(size, '\0');
    DWORD n = calls_.get_profile_string(kSection, name.c_str(), "", buffer.data(), size,
                                        path_.c_str());
    if (n + 1 < size) {
      buffer.resize(n);
      return buffer;
    }
  }
  return std::string();
}

bool Win32SettingsStore::Write(std::string_view key, std::string_view value) {
  const std::string name(key);
  // A line break would start a line of its own in the file.
  const std::string text = OnOneLine(value);
  return calls_.write_profile_string(kSection, name.c_str(), text.c_str(), path_.c_str()) !=
         FALSE;
}

}  // namespace velmora
