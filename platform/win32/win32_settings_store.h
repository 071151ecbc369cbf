#pragma once

#include <string>

#include "platform/settings_store.h"

namespace velmora {

// Section "Settings" of the plug-in's initialisation file through the
// system's profile functions. A relative path resolves against the current
// folder; the folder is never created, so a missing one fails the write.
class Win32SettingsStore : public SettingsStore {
 public:
  explicit Win32SettingsStore(std::string path = "Plugins\\Velmora.ini")
      : path_(std::move(path)) {}

  std::string Read(std::string_view key) override;
  bool Write(std::string_view key, std::string_view value) override;

 private:
  std::string path_;
};

}  // namespace velmora
