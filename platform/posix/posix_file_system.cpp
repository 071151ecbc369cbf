#include "platform/posix/posix_file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace velmora {

std::optional<std::string> PosixFileSystem::ReadFile(const std::string& name) {
  int fd = calls_.open(name.c_str(), O_RDONLY | O_CLOEXEC, 0);
  if (fd < 0) return std::nullopt;
  std::string text;
  char buffer[65536];
  bool ok = true;
  for (;;) {
    ssize_t n = calls_.read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    text.append(buffer, static_cast<std::size_t>(n));
  }
  calls_.close(fd);
  if (!ok) return std::nullopt;
  return text;
}

bool PosixFileSystem::Exists(const std::string& name) {
  struct stat status {};
  return ::stat(name.c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

// A reader never sees a line that was only partly written: after a short
// write (a full disk) the file is cut back to where it ended.
bool PosixFileSystem::AppendToFile(const std::string& name, std::string_view bytes) {
  int fd = calls_.open(name.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  off_t end = calls_.lseek(fd, 0, SEEK_END);
  bool ok = end >= 0 && WriteAll(calls_, fd, bytes);
  if (!ok && end >= 0) calls_.ftruncate(fd, end);
  return (calls_.close(fd) == 0) && ok;
}

bool PosixFileSystem::ReplaceFile(const std::string& name, std::string_view bytes) {
  const std::string temp = name + ".velmora-tmp";
  int fd = calls_.open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = WriteAll(calls_, fd, bytes) && calls_.fsync(fd) == 0;
  ok = (calls_.close(fd) == 0) && ok;
  if (ok && calls_.rename(temp.c_str(), name.c_str()) == 0) return true;
  calls_.unlink(temp.c_str());
  return false;
}

std::vector<std::string> PosixFileSystem::ListFolder(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = calls_.opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return names;
  while (dirent* entry = calls_.readdir(dir)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(std::move(name));
  }
  calls_.closedir(dir);
  return names;
}

}  // namespace velmora
