#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// The plug-in's only door to files. Names are bytes in the host's code page,
// relative to the process's current folder unless absolute. Every operation
// reports failure by its result and never throws.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The whole file, or nullopt when it cannot be read.
  virtual std::optional<std::string> ReadFile(const std::string& name) = 0;
  // Whether there is a file of that name, readable or not.
  virtual bool Exists(const std::string& name) = 0;
  // Appends at the end, creating the file when missing.
  virtual bool AppendToFile(const std::string& name, std::string_view bytes) = 0;
  // Replaces the file as a whole: written to a temporary beside it, then
  // renamed over it, so a failure leaves the earlier file untouched.
  virtual bool ReplaceFile(const std::string& name, std::string_view bytes) = 0;
  // Names (without folder) of the entries of `folder` ("" = current folder);
  // empty when it cannot be listed.
  virtual std::vector<std::string> ListFolder(const std::string& folder) = 0;
};

}  // namespace velmora
