#pragma once

#include <string>

#include "platform/file_system.h"
#include "platform/settings_store.h"

namespace velmora {

// Section "Settings" of an initialisation file, with the semantics of the
// Windows profile functions: section and key names match ignoring letter
// case, a value is trimmed (and loses one pair of enclosing quotes), every
// other line and comment is kept, and the first write creates the file and
// the section. The folder is not created. Each write replaces the file; a
// line break in a value is written as a space, so a value is one line.
class IniSettingsStore : public SettingsStore {
 public:
  IniSettingsStore(FileSystem& files, std::string path)
      : files_(files), path_(std::move(path)) {}

  std::string Read(std::string_view key) override;
  bool Write(std::string_view key, std::string_view value) override;

 private:
  FileSystem& files_;
  std::string path_;
};

}  // namespace velmora
