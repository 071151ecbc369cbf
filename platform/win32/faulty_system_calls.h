#pragma once

#include <algorithm>
#include <cstddef>
#include <set>
#include <string>

#include "platform/win32/system_calls.h"

namespace velmora::testing {

// Where a file operation is made to fail.
enum class FaultStep {
  kNone,
  kOpen,            // CreateFileA for writing is denied
  kWrite,           // every WriteFile to it fails
  kFlush,           // FlushFileBuffers of it fails
  kClose,           // CloseHandle closes but reports an error
  kMove,            // MoveFileExA onto it fails
  kDiskFull,        // writes stop with ERROR_DISK_FULL after `room` bytes in all
  kReadOnlyFolder,  // nothing can be created, moved or deleted
};

// The real system calls, except that the chosen step fails for every path
// that contains `target` ("" = every path). Installed into a table it
// outlives; counts the calls it failed.
class FaultySystemCalls {
 public:
  void InstallInto(SystemCalls& calls) {
    real_ = calls;
    calls.create_file = [this](const char* path, DWORD access, DWORD share, DWORD how) {
      return CreateFile(path, access, share, how);
    };
    calls.write_file = [this](HANDLE file, const void* buffer, DWORD size, DWORD* written) {
      return WriteFile(file, buffer, size, written);
    };
    calls.flush_file_buffers = [this](HANDLE file) {
      return Targeted(file, FaultStep::kFlush) ? Fail(ERROR_IO_DEVICE)
                                               : real_.flush_file_buffers(file);
    };
    calls.close_handle = [this](HANDLE file) {
      bool fail = Targeted(file, FaultStep::kClose);
      handles_.erase(file);
      BOOL result = real_.close_handle(file);
      return fail ? Fail(ERROR_IO_DEVICE) : result;
    };
    calls.move_file = [this](const char* from, const char* to, DWORD flags) {
      if (Matches(to) && step_ == FaultStep::kMove) return Fail(ERROR_SHARING_VIOLATION);
      if (Matches(to) && step_ == FaultStep::kReadOnlyFolder) return Fail(ERROR_ACCESS_DENIED);
      return real_.move_file(from, to, flags);
    };
    calls.delete_file = [this](const char* path) {
      if (Matches(path) && step_ == FaultStep::kReadOnlyFolder) return Fail(ERROR_ACCESS_DENIED);
      return real_.delete_file(path);
    };
  }

  void Fail(FaultStep step, std::string target = "", std::size_t room = 0) {
    step_ = step;
    target_ = std::move(target);
    room_ = room;
  }
  void Heal() { step_ = FaultStep::kNone; }
  int failures() const { return failures_; }

 private:
  static bool Exists(const char* path) {
    return ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
  }
  bool Matches(const char* path) const {
    return step_ != FaultStep::kNone && std::string(path).find(target_) != std::string::npos;
  }
  bool Targeted(HANDLE file, FaultStep step) const {
    return step_ == step && handles_.count(file) > 0;
  }
  BOOL Fail(DWORD error) {
    ++failures_;
    ::SetLastError(error);
    return FALSE;
  }

  HANDLE CreateFile(const char* path, DWORD access, DWORD share, DWORD how) {
    if (Matches(path)) {
      if (step_ == FaultStep::kOpen && (access & GENERIC_WRITE) != 0) {
        Fail(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
      }
      if (step_ == FaultStep::kReadOnlyFolder && how != OPEN_EXISTING && !Exists(path)) {
        Fail(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
      }
    }
    HANDLE file = real_.create_file(path, access, share, how);
    if (file != INVALID_HANDLE_VALUE && Matches(path)) handles_.insert(file);
    return file;
  }

  BOOL WriteFile(HANDLE file, const void* buffer, DWORD size, DWORD* written) {
    *written = 0;
    if (Targeted(file, FaultStep::kWrite)) return Fail(ERROR_WRITE_FAULT);
    if (Targeted(file, FaultStep::kDiskFull)) {
      if (room_ == 0) return Fail(ERROR_DISK_FULL);
      size = static_cast<DWORD>(std::min<std::size_t>(size, room_));
      room_ -= size;
    }
    return real_.write_file(file, buffer, size, written);
  }

  SystemCalls real_;
  FaultStep step_ = FaultStep::kNone;
  std::string target_;
  std::size_t room_ = 0;
  std::set<HANDLE> handles_;  // open handles of matching paths
  int failures_ = 0;
};

}  // namespace velmora::testing
