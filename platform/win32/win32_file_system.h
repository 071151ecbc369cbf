#pragma once

#include "platform/file_system.h"
#include "platform/win32/system_calls.h"

namespace velmora {

// Files through the ANSI file API of `calls` (names are bytes in the host's
// code page); a replacement is written beside the file and moved over it,
// and a failed append is taken back whole.
class Win32FileSystem : public FileSystem {
 public:
  explicit Win32FileSystem(SystemCalls calls = RealSystemCalls())
      : calls_(std::move(calls)) {}

  std::optional<std::string> ReadFile(const std::string& name) override;
  bool Exists(const std::string& name) override;
  bool AppendToFile(const std::string& name, std::string_view bytes) override;
  bool ReplaceFile(const std::string& name, std::string_view bytes) override;
  std::vector<std::string> ListFolder(const std::string& folder) override;

  // The table in use; tests replace entries to make a call fail.
  SystemCalls& system_calls() { return calls_; }

 private:
  SystemCalls calls_;
};

}  // namespace velmora
