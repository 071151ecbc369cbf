#pragma once

#include <string>

#include "platform/settings_store.h"
#include "platform/win32/system_calls.h"

namespace velmora {

// Section "Settings" of the plug-in's initialisation file through the
// system's profile functions of `calls`. A relative path resolves against
// the current folder; the folder is never created, so a missing one fails
// the write.
class Win32SettingsStore : public SettingsStore {
 public:
  explicit Win32SettingsStore(std::string path = "Plugins\\Velmora.ini",
                              SystemCalls calls = RealSystemCalls())
      : path_(std::move(path)), calls_(std::move(calls)) {}

  std::string Read(std::string_view key) override;
  bool Write(std::string_view key, std::string_view value) override;

  // The table in use; tests replace entries to make a call fail.
  SystemCalls& system_calls() { return calls_; }

 private:
  std::string path_;
  SystemCalls calls_;
};

}  // namespace velmora
