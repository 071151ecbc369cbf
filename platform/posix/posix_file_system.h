#pragma once

#include "platform/file_system.h"

namespace velmora {

// Files through the C library; replacement by rename(2), which is atomic.
class PosixFileSystem : public FileSystem {
 public:
  std::optional<std::string> ReadFile(const std::string& name) override;
  bool AppendToFile(const std::string& name, std::string_view bytes) override;
  bool ReplaceFile(const std::string& name, std::string_view bytes) override;
  std::vector<std::string> ListFolder(const std::string& folder) override;
};

}  // namespace velmora
