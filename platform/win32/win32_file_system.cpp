#include "platform/win32/win32_file_system.h"

#include "platform/win32/file_handle.h"

namespace velmora {

std::optional<std::string> Win32FileSystem::ReadFile(const std::string& name) {
  FileHandle file(calls_, calls_.create_file(
                              name.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              OPEN_EXISTING));
  if (!file.valid()) return std::nullopt;
  std::string text;
  std::string buffer(65536, '\0');
  for (;;) {
    DWORD n = 0;
    if (!calls_.read_file(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &n))
      return std::nullopt;
    if (n == 0) return text;
    text.append(buffer.data(), n);
  }
}

bool Win32FileSystem::Exists(const std::string& name) {
  const DWORD attributes = calls_.get_file_attributes(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32FileSystem::AppendToFile(const std::string& name, std::string_view bytes) {
  FileHandle file(calls_, calls_.create_file(name.c_str(), GENERIC_READ | GENERIC_WRITE,
                                             FILE_SHARE_READ, OPEN_ALWAYS));
  if (!file.valid()) return false;
  LARGE_INTEGER end{};
  if (!calls_.set_file_pointer(file.get(), LARGE_INTEGER{}, &end, FILE_END)) return false;
  bool ok = WriteAll(calls_, file.get(), bytes);
  if (!ok) {
    // Never leave half a line: cut the file back to where it ended.
    calls_.set_file_pointer(file.get(), end, nullptr, FILE_BEGIN);
    calls_.set_end_of_file(file.get());
  }
  return file.Close() && ok;
}

bool Win32FileSystem::ReplaceFile(const std::string& name, std::string_view bytes) {
  const std::string temp = name + ".velmora-tmp";
  if (WriteNewFile(calls_, temp, bytes) &&
      calls_.move_file(temp.c_str(), name.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  calls_.delete_file(temp.c_str());
  return false;
}

std::vector<std::string> Win32FileSystem::ListFolder(const std::string& folder) {
  std::vector<std::string> names;
  std::string pattern = folder;
  if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/')
    pattern += '\\';
  pattern += '*';
  WIN32_FIND_DATAA entry;
  HANDLE search = calls_.find_first_file(pattern.c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = entry.cFileName;
    if (name != "." && name != "..") names.push_back(std::move(name));
  } while (calls_.find_next_file(search, &entry));
  calls_.find_close(search);
  return names;
}

}  // namespace velmora
