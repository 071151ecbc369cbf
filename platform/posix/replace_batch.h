#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/posix_file_system.h"

namespace velmora {

// Many files replaced as ReplaceFile replaces one (atomic, on the disk before
// the rename), for the price of one flush instead of one a file: each new
// content goes to a temporary beside its file as it comes, from any thread;
// Commit() flushes the file system once, renames every temporary over its file
// and flushes each folder once, so the renames are on the disk too. Where the
// file system cannot be flushed whole, each temporary is flushed on its own.
class ReplaceBatch {
 public:
  explicit ReplaceBatch(PosixFileSystem& files) : calls_(files.system_calls()) {}
  ~ReplaceBatch();  // temporaries never committed are removed
  ReplaceBatch(const ReplaceBatch&) = delete;
  ReplaceBatch& operator=(const ReplaceBatch&) = delete;

  // Writes `bytes` to the temporary of `name`; false (and no temporary) when
  // it cannot be written. Safe to call from several threads at once.
  bool Add(const std::string& name, std::string_view bytes);

  // Replaces every file added; the names that could not be replaced (each of
  // them left as it was, its temporary removed), in the order added.
  std::vector<std::string> Commit();

 private:
  SystemCalls& calls_;
  std::mutex mutex_;
  std::vector<std::string> names_;  // added, not yet committed
};

}  // namespace velmora
