#pragma once

#include <dirent.h>
#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <string_view>

namespace velmora {

// The system calls behind PosixFileSystem, one entry each. The real calls by
// default; a test replaces single entries to fail an operation on purpose
// (an error code in errno, as the real call would leave it).
struct SystemCalls {
  std::function<int(const char* path, int flags, mode_t mode)> open;
  std::function<ssize_t(int fd, void* buffer, std::size_t size)> read;
  std::function<ssize_t(int fd, const void* buffer, std::size_t size)> write;
  std::function<off_t(int fd, off_t offset, int whence)> lseek;
  std::function<int(int fd, off_t length)> ftruncate;
  std::function<int(int fd)> fsync;
  std::function<int(int fd)> syncfs;  // the whole file system that holds fd
  std::function<int(int fd)> close;
  std::function<int(const char* from, const char* to)> rename;
  std::function<int(const char* path)> unlink;
  std::function<DIR*(const char* path)> opendir;
  std::function<dirent*(DIR* dir)> readdir;
  std::function<int(DIR* dir)> closedir;
};

// The table of the C library's own calls.
SystemCalls RealSystemCalls();

// Writes all of `bytes` to fd through `calls`, again after an interruption.
bool WriteAll(const SystemCalls& calls, int fd, std::string_view bytes);

}  // namespace velmora
