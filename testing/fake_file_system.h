#pragma once

#include <map>
#include <set>
#include <string>

#include "platform/file_system.h"

namespace velmora::testing {

// Files in memory. Names listed in `fail_*` make that operation fail, and
// `folders` gives what ListFolder returns per folder.
class FakeFileSystem : public FileSystem {
 public:
  std::optional<std::string> ReadFile(const std::string& name) override {
    if (fail_read.count(name) || !files.count(name)) return std::nullopt;
    return files[name];
  }
  bool Exists(const std::string& name) override { return files.count(name) > 0; }
  bool AppendToFile(const std::string& name, std::string_view bytes) override {
    if (fail_write.count(name)) return false;
    files[name] += bytes;
    return true;
  }
  bool ReplaceFile(const std::string& name, std::string_view bytes) override {
    if (fail_write.count(name)) return false;
    files[name] = std::string(bytes);
    return true;
  }
  std::vector<std::string> ListFolder(const std::string& folder) override {
    return folders[folder];
  }

  std::map<std::string, std::string> files;
  std::map<std::string, std::vector<std::string>> folders;
  std::set<std::string> fail_read, fail_write;
};

}  // namespace velmora::testing
