#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

namespace velmora::testing {

// A fresh folder under /tmp for one test, removed with everything in it when
// the test ends.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "velmora-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!path_.empty() && !keep_) std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Leaves the folder on disk, for a look after a failed test.
  void Keep() { keep_ = true; }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
  bool keep_ = false;
};

// Makes `folder` the current folder until it goes out of scope.
class CurrentFolder {
 public:
  explicit CurrentFolder(const std::filesystem::path& folder)
      : old_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~CurrentFolder() {
    std::error_code ignored;
    std::filesystem::current_path(old_, ignored);
  }
  CurrentFolder(const CurrentFolder&) = delete;
  CurrentFolder& operator=(const CurrentFolder&) = delete;

 private:
  std::filesystem::path old_;
};

}  // namespace velmora::testing
