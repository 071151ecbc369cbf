#include "platform/win32/temp_folder.h"

#include "platform/win32/windows_api.h"

#include <string>
#include <system_error>

namespace velmora::testing {

TempFolder::TempFolder() : previous_(std::filesystem::current_path()) {
  std::filesystem::path base = std::filesystem::temp_directory_path();
  for (unsigned n = 0;; ++n) {
    path_ = base / ("velmora-" + std::to_string(::GetCurrentProcessId()) + "-" +
                    std::to_string(n));
    if (std::filesystem::create_directory(path_)) break;
  }
  std::filesystem::current_path(path_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::current_path(previous_, ignored);
  if (!keep_) std::filesystem::remove_all(path_, ignored);
}

}  // namespace velmora::testing
