#pragma once

#include <functional>

#include "platform/win32/windows_api.h"

namespace velmora {

// The system calls behind Win32FileSystem, one entry each. The real calls by default; a test replaces single entries to fail an
// operation on purpose (an error code for GetLastError, as the real call
// would leave it).
struct SystemCalls {
  std::function<HANDLE(const char* path, DWORD access, DWORD share, DWORD disposition)>
      create_file;
  std::function<BOOL(HANDLE file, void* buffer, DWORD size, DWORD* read)> read_file;
  std::function<BOOL(HANDLE file, const void* buffer, DWORD size, DWORD* written)>
      write_file;
  std::function<BOOL(HANDLE file, LARGE_INTEGER offset, LARGE_INTEGER* now, DWORD method)>
      set_file_pointer;
  std::function<BOOL(HANDLE file)> set_end_of_file;
  std::function<BOOL(HANDLE file)> flush_file_buffers;
  std::function<BOOL(HANDLE file)> close_handle;
  std::function<BOOL(const char* from, const char* to, DWORD flags)> move_file;
  std::function<BOOL(const char* path)> delete_file;
  std::function<HANDLE(const char* pattern, WIN32_FIND_DATAA* entry)> find_first_file;
  std::function<BOOL(HANDLE search, WIN32_FIND_DATAA* entry)> find_next_file;
  std::function<BOOL(HANDLE search)> find_close;
  std::function<DWORD(const char* path)> get_file_attributes;
};

// The table of the system's own calls.
SystemCalls RealSystemCalls();

}  // namespace velmora
