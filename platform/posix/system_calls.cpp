#include "platform/posix/system_calls.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace velmora {

SystemCalls RealSystemCalls() {
  SystemCalls calls;
  calls.open = [](const char* path, int flags, mode_t mode) {
    return ::open(path, flags, mode);
  };
  calls.read = ::read;
  calls.write = ::write;
  calls.lseek = ::lseek;
  calls.ftruncate = ::ftruncate;
  calls.fsync = ::fsync;
  calls.syncfs = ::syncfs;
  calls.close = ::close;
  calls.rename = std::rename;
  calls.unlink = ::unlink;
  calls.opendir = ::opendir;
  calls.readdir = ::readdir;
  calls.closedir = ::closedir;
  return calls;
}

bool WriteAll(const SystemCalls& calls, int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = calls.write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace velmora
