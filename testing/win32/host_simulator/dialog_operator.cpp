#include "testing/win32/host_simulator/dialog_operator.h"

#include "platform/win32/windows_api.h"

#include <thread>

namespace velmora::testing {

namespace {

struct Search {
  std::string_view caption;
  HWND found = nullptr;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM search_address) {
  auto& search = *reinterpret_cast<Search*>(search_address);
  char name[32] = "";
  ::GetClassNameA(window, name, sizeof name);
  if (std::string_view(name) != "#32770" || !::IsWindowVisible(window)) return TRUE;
  if (WindowText(window) != search.caption) return TRUE;
  search.found = window;
  return FALSE;
}

}  // namespace

HWND WaitForDialog(unsigned long thread_id, std::string_view caption,
                   std::chrono::milliseconds timeout, const std::atomic<bool>* stop) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline && !(stop != nullptr && *stop)) {
    Search search{caption};
    ::EnumThreadWindows(thread_id, MatchDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) return search.found;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return nullptr;
}

std::string WindowText(HWND window) {
  const int length = ::GetWindowTextLengthA(window);
  std::string text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
  const int copied = ::GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

std::string ItemText(HWND dialog, int id) { return WindowText(::GetDlgItem(dialog, id)); }

std::vector<std::string> ComboItems(HWND combo) {
  std::vector<std::string> items;
  const LRESULT count = ::SendMessageA(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = ::SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    std::string item(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
    ::SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i),
                   reinterpret_cast<LPARAM>(item.data()));
    item.resize(item.find('\0'));
    items.push_back(item);
  }
  return items;
}

}  // namespace velmora::testing
