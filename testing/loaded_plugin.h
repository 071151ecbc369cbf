#pragma once

#include <dlfcn.h>

#include <filesystem>
#include <string>

#include "testing/temp_folder.h"

namespace velmora::testing {

// The built plug-in library loaded the way a host loads it, with a fresh
// working folder (holding "Plugins") as the current folder.
class LoadedPlugin {
 public:
  explicit LoadedPlugin(const char* library)
      : plugins_(std::filesystem::create_directory(folder_.path() / "Plugins")),
        current_(folder_.path()),
        handle_(::dlopen(library, RTLD_NOW | RTLD_LOCAL)) {}
  ~LoadedPlugin() {
    if (handle_) ::dlclose(handle_);
  }
  LoadedPlugin(const LoadedPlugin&) = delete;
  LoadedPlugin& operator=(const LoadedPlugin&) = delete;

  bool loaded() const { return handle_ != nullptr; }
  const std::filesystem::path& folder() const { return folder_.path(); }
  void KeepFolder() { folder_.Keep(); }
  // The exported function `name`, or nullptr.
  template <typename F>
  F* Get(const char* name) const {
    return reinterpret_cast<F*>(::dlsym(handle_, name));
  }

 private:
  TempFolder folder_;
  bool plugins_;
  CurrentFolder current_;
  void* handle_;
};

}  // namespace velmora::testing
