#include "testing/win32/host_simulator/message_box_closer.h"

#include "platform/win32/windows_api.h"

#include <chrono>

namespace velmora::testing {

namespace {

constexpr int kMessageTextId = 0xFFFF;  // the static control of a message box

std::string WindowText(HWND window) {
  char buffer[1024] = "";
  ::GetWindowTextA(window, buffer, sizeof buffer);
  return buffer;
}

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
  char name[32] = "";
  ::GetClassNameA(window, name, sizeof name);
  if (std::string(name) != "#32770" || !::IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

}  // namespace

MessageBoxCloser::MessageBoxCloser()
    : thread_id_(::GetCurrentThreadId()), watcher_([this] { Watch(); }) {}

MessageBoxCloser::~MessageBoxCloser() {
  stop_ = true;
  watcher_.join();
}

std::vector<MessageBoxCloser::Seen> MessageBoxCloser::seen() const {
  std::lock_guard lock(mutex_);
  return seen_;
}

void MessageBoxCloser::Watch() {
  HWND last = nullptr;
  while (!stop_) {
    HWND dialog = nullptr;
    ::EnumThreadWindows(thread_id_, FindDialog, reinterpret_cast<LPARAM>(&dialog));
    if (dialog != nullptr && dialog != last) {
      HWND text = ::GetDlgItem(dialog, kMessageTextId);
      {
        std::lock_guard lock(mutex_);
        seen_.push_back({WindowText(dialog), text ? WindowText(text) : std::string()});
      }
      ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
      last = dialog;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

}  // namespace velmora::testing
