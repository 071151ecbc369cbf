#include "platform/win32/win32_file_system.h"

#include "platform/win32/windows_api.h"

#include <algorithm>

namespace velmora {

namespace {

// Closes a file handle when it goes out of scope.
class Handle {
 public:
  explicit Handle(HANDLE h) : handle_(h) {}
  ~Handle() {
    if (valid()) ::CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  // Closes now; false when the system reports a failure.
  bool Close() {
    bool ok = ::CloseHandle(handle_) != FALSE;
    handle_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE handle_;
};

constexpr DWORD kChunk = 1u << 20;

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD size = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), kChunk));
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), size, &written, nullptr) || written == 0)
      return false;
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace

std::optional<std::string> Win32FileSystem::ReadFile(const std::string& name) {
  Handle file(::CreateFileA(name.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return std::nullopt;
  std::string text;
  std::string buffer(65536, '\0');
  for (;;) {
    DWORD n = 0;
    if (!::ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &n,
                    nullptr))
      return std::nullopt;
    if (n == 0) return text;
    text.append(buffer.data(), n);
  }
}

bool Win32FileSystem::AppendToFile(const std::string& name, std::string_view bytes) {
  Handle file(::CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  LARGE_INTEGER end{};
  if (!::SetFilePointerEx(file.get(), LARGE_INTEGER{}, &end, FILE_END)) return false;
  bool ok = WriteAll(file.get(), bytes);
  if (!ok) {
    // Never leave half a line: cut the file back to where it ended.
    ::SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN);
    ::SetEndOfFile(file.get());
  }
  return file.Close() && ok;
}

bool Win32FileSystem::ReplaceFile(const std::string& name, std::string_view bytes) {
  std::string temp = name + ".velmora-tmp";
  Handle file(::CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  bool ok = WriteAll(file.get(), bytes) && ::FlushFileBuffers(file.get());
  ok = file.Close() && ok;
  if (ok && ::MoveFileExA(temp.c_str(), name.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  ::DeleteFileA(temp.c_str());
  return false;
}

std::vector<std::string> Win32FileSystem::ListFolder(const std::string& folder) {
  std::vector<std::string> names;
  std::string pattern = folder;
  if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/')
    pattern += '\\';
  pattern += '*';
  WIN32_FIND_DATAA entry;
  HANDLE search = ::FindFirstFileA(pattern.c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = entry.cFileName;
    if (name != "." && name != "..") names.push_back(std::move(name));
  } while (::FindNextFileA(search, &entry));
  ::FindClose(search);
  return names;
}

}  // namespace velmora
