#include "platform/posix/system_calls.h"

#include <fcntl.h>
#include <unistd.h>

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
  calls.close = ::close;
  calls.rename = std::rename;
  calls.unlink = ::unlink;
  calls.opendir = ::opendir;
  calls.readdir = ::readdir;
  calls.closedir = ::closedir;
  return calls;
}

}  // namespace velmora
