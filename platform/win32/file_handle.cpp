#include "platform/win32/file_handle.h"

#include <algorithm>

namespace velmora {

namespace {

constexpr DWORD kChunk = 1u << 20;

}  // namespace

FileHandle::~FileHandle() {
  if (!valid()) return;
  DWORD error = ::GetLastError();
  calls_.close_handle(handle_);
  ::SetLastError(error);
}

bool FileHandle::Close() {
  bool ok = calls_.close_handle(handle_) != FALSE;
  handle_ = INVALID_HANDLE_VALUE;
  return ok;
}

bool WriteAll(SystemCalls& calls, HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD size = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), kChunk));
    DWORD written = 0;
    if (!calls.write_file(file, bytes.data(), size, &written) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

bool WriteNewFile(SystemCalls& calls, const std::string& name, std::string_view bytes) {
  FileHandle file(calls, calls.create_file(name.c_str(), GENERIC_WRITE, 0, CREATE_ALWAYS));
  if (!file.valid()) return false;
  bool ok = WriteAll(calls, file.get(), bytes) && calls.flush_file_buffers(file.get());
  return file.Close() && ok;
}

}  // namespace velmora
