#include "platform/win32/system_calls.h"

namespace velmora {

SystemCalls RealSystemCalls() {
  SystemCalls calls;
  calls.create_file = [](const char* path, DWORD access, DWORD share, DWORD disposition) {
    return ::CreateFileA(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  };
  calls.read_file = [](HANDLE file, void* buffer, DWORD size, DWORD* read) {
    return ::ReadFile(file, buffer, size, read, nullptr);
  };
  calls.write_file = [](HANDLE file, const void* buffer, DWORD size, DWORD* written) {
    return ::WriteFile(file, buffer, size, written, nullptr);
  };
  calls.set_file_pointer = ::SetFilePointerEx;
  calls.set_end_of_file = ::SetEndOfFile;
  calls.flush_file_buffers = ::FlushFileBuffers;
  calls.close_handle = ::CloseHandle;
  calls.move_file = ::MoveFileExA;
  calls.delete_file = ::DeleteFileA;
  calls.find_first_file = ::FindFirstFileA;
  calls.find_next_file = ::FindNextFileA;
  calls.find_close = ::FindClose;
  calls.get_file_attributes = ::GetFileAttributesA;
  return calls;
}

}  // namespace velmora
