#pragma once

#include "platform/file_system.h"

namespace velmora {

// Files through the ANSI file API (names are bytes in the host's code page);
// a replacement is written beside the file and moved over it.
class Win32FileSystem : public FileSystem {
 public:
  std::optional<std::string> ReadFile(const std::string& name) override;
  bool AppendToFile(const std::string& name, std::string_view bytes) override;
  bool ReplaceFile(const std::string& name, std::string_view bytes) override;
  std::vector<std::string> ListFolder(const std::string& folder) override;
};

}  // namespace velmora
