#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <set>
#include <string>

#include "platform/posix/system_calls.h"

namespace velmora::testing {

// Where a file operation is made to fail.
enum class FaultStep {
  kNone,
  kOpen,            // open(2) for writing the file (or its temporary) fails
  kWrite,           // every write(2) to it fails
  kFsync,           // fsync(2) of it fails
  kClose,           // close(2) closes but reports an error, as NFS may
  kRename,          // rename(2) onto it fails
  kDiskFull,        // writes stop with ENOSPC after `room` bytes in all
  kReadOnlyFolder,  // nothing can be created, renamed or removed
};

// The real system calls, except that the chosen step fails for every path
// that contains `target` ("" = every path). Installed into a table it
// outlives; counts the calls it failed.
class FaultySystemCalls {
 public:
  void InstallInto(SystemCalls& calls) {
    real_ = calls;
    calls.open = [this](const char* path, int flags, mode_t mode) {
      return Open(path, flags, mode);
    };
    calls.write = [this](int fd, const void* buffer, std::size_t size) {
      return Write(fd, buffer, size);
    };
    calls.fsync = [this](int fd) {
      return Targeted(fd, FaultStep::kFsync) ? Fail(EIO) : real_.fsync(fd);
    };
    calls.close = [this](int fd) {
      bool fail = Targeted(fd, FaultStep::kClose);
      fds_.erase(fd);
      int result = real_.close(fd);
      return fail ? Fail(EIO) : result;
    };
    calls.rename = [this](const char* from, const char* to) {
      if (Matches(to) && step_ == FaultStep::kRename) return Fail(EIO);
      if (Matches(to) && step_ == FaultStep::kReadOnlyFolder) return Fail(EACCES);
      return real_.rename(from, to);
    };
    calls.unlink = [this](const char* path) {
      if (Matches(path) && step_ == FaultStep::kReadOnlyFolder) return Fail(EACCES);
      return real_.unlink(path);
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
  bool Matches(const char* path) const {
    return step_ != FaultStep::kNone && std::string(path).find(target_) != std::string::npos;
  }
  bool Targeted(int fd, FaultStep step) const { return step_ == step && fds_.count(fd) > 0; }
  int Fail(int error) {
    ++failures_;
    errno = error;
    return -1;
  }

  int Open(const char* path, int flags, mode_t mode) {
    if (Matches(path)) {
      if (step_ == FaultStep::kOpen && (flags & O_ACCMODE) != O_RDONLY) return Fail(EACCES);
      if (step_ == FaultStep::kReadOnlyFolder && (flags & O_CREAT) != 0 &&
          ::access(path, F_OK) != 0)
        return Fail(EACCES);
    }
    int fd = real_.open(path, flags, mode);
    if (fd >= 0 && Matches(path)) fds_.insert(fd);
    return fd;
  }

  ssize_t Write(int fd, const void* buffer, std::size_t size) {
    if (Targeted(fd, FaultStep::kWrite)) return Fail(EIO);
    if (step_ == FaultStep::kDiskFull && fds_.count(fd) > 0) {
      if (room_ == 0) return Fail(ENOSPC);
      if (size > room_) size = room_;
      room_ -= size;
    }
    return real_.write(fd, buffer, size);
  }

  SystemCalls real_;
  FaultStep step_ = FaultStep::kNone;
  std::string target_;
  std::size_t room_ = 0;
  std::set<int> fds_;  // open descriptors of matching paths
  int failures_ = 0;
};

}  // namespace velmora::testing
