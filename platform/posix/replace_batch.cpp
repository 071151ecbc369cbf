#include "platform/posix/replace_batch.h"

#include <fcntl.h>

#include <algorithm>
#include <map>

namespace velmora {

namespace {

std::string TempOf(const std::string& name) { return name + ".velmora-tmp"; }

std::string FolderOf(const std::string& name) {
  const std::size_t slash = name.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : name.substr(0, slash);
}

// The folders of the files, each opened once (-1 where it cannot be).
std::map<std::string, int> OpenFolders(const SystemCalls& calls,
                                       const std::vector<std::string>& names) {
  std::map<std::string, int> folders;
  for (const std::string& name : names) {
    const std::string folder = FolderOf(name);
    if (!folders.contains(folder))
      folders[folder] = calls.open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
  }
  return folders;
}

// One flush of each file system that holds the folders: every temporary in
// them is on the disk after it.
bool FlushWhole(const SystemCalls& calls, const std::map<std::string, int>& folders) {
  return std::all_of(folders.begin(), folders.end(),
                     [&](const auto& f) { return f.second >= 0 && calls.syncfs(f.second) == 0; });
}

bool FlushOne(const SystemCalls& calls, const std::string& temp) {
  const int fd = calls.open(temp.c_str(), O_RDONLY | O_CLOEXEC, 0);
  if (fd < 0) return false;
  const bool ok = calls.fsync(fd) == 0;
  return calls.close(fd) == 0 && ok;
}

}  // namespace

ReplaceBatch::~ReplaceBatch() {
  for (const std::string& name : names_) calls_.unlink(TempOf(name).c_str());
}

bool ReplaceBatch::Add(const std::string& name, std::string_view bytes) {
  const std::string temp = TempOf(name);
  const int fd = calls_.open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = WriteAll(calls_, fd, bytes);
  ok = calls_.close(fd) == 0 && ok;
  if (!ok) {
    calls_.unlink(temp.c_str());
    return false;
  }
  std::lock_guard lock(mutex_);
  names_.push_back(name);
  return true;
}

std::vector<std::string> ReplaceBatch::Commit() {
  std::vector<std::string> names;
  {
    std::lock_guard lock(mutex_);
    names.swap(names_);
  }
  std::map<std::string, int> folders = OpenFolders(calls_, names);
  const bool flushed = FlushWhole(calls_, folders);
  std::vector<bool> replaced(names.size(), false);
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::string temp = TempOf(names[i]);
    replaced[i] = (flushed || FlushOne(calls_, temp)) &&
                  calls_.rename(temp.c_str(), names[i].c_str()) == 0;
    if (!replaced[i]) calls_.unlink(temp.c_str());
  }
  // A rename is on the disk once its folder is: a folder that cannot be
  // flushed leaves its files unsure, and they are named as failed.
  std::map<std::string, bool> folder_flushed;
  for (auto& [path, fd] : folders) {
    folder_flushed[path] = fd >= 0 && calls_.fsync(fd) == 0;
    if (fd >= 0) calls_.close(fd);
  }
  std::vector<std::string> failed;
  for (std::size_t i = 0; i < names.size(); ++i)
    if (!replaced[i] || !folder_flushed[FolderOf(names[i])]) failed.push_back(names[i]);
  return failed;
}

}  // namespace velmora
