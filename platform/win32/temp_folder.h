#pragma once

#include <filesystem>

namespace velmora::testing {

// A new empty folder under the system's temporary folder that becomes the
// current folder; the earlier current folder comes back and the folder is
// removed (with all it holds) at the end of the scope.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Keeps the folder for inspection.
  void Keep() { keep_ = true; }

 private:
  std::filesystem::path path_;
  std::filesystem::path previous_;
  bool keep_ = false;
};

}  // namespace velmora::testing
