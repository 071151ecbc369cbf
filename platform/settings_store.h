#pragma once

#include <string>
#include <string_view>

namespace velmora {

// Keys of the section "Settings" of the plug-in's settings file.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;

  // The whole value; empty when the file, section or key is missing.
  virtual std::string Read(std::string_view key) = 0;
  // Writes at once, creating file and section when needed.
  virtual bool Write(std::string_view key, std::string_view value) = 0;
};

}  // namespace velmora
