#pragma once

#include "platform/file_system.h"
#include "platform/posix/system_calls.h"

namespace velmora {

// Files through the system calls of `calls`; replacement by rename(2), which
// is atomic, and a failed append is taken back whole.
class PosixFileSystem : public FileSystem {
 public:
  explicit PosixFileSystem(SystemCalls calls = RealSystemCalls())
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
