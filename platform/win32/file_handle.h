#pragma once

#include <string>
#include <string_view>

#include "platform/win32/system_calls.h"

namespace velmora {

// A file handle that is closed through `calls` when it goes out of scope;
// that late close keeps the error code of the call that failed before it.
class FileHandle {
 public:
  FileHandle(SystemCalls& calls, HANDLE handle) : calls_(calls), handle_(handle) {}
  ~FileHandle();
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  // Closes now; false when the system reports a failure.
  bool Close();

 private:
  SystemCalls& calls_;
  HANDLE handle_;
};

// Writes all of `bytes` at the file's position; false on an error or a write
// that makes no progress (a full disk).
bool WriteAll(SystemCalls& calls, HANDLE file, std::string_view bytes);

// Creates `name` afresh (or empties it) with `bytes`, flushed to the disk.
bool WriteNewFile(SystemCalls& calls, const std::string& name, std::string_view bytes);

}  // namespace velmora
