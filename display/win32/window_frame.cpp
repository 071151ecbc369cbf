#include "display/win32/window_frame.h"

#include "display/tool_window_view.h"

namespace velmora {

void DisableCloseItem(HWND window) {
  ::EnableMenuItem(::GetSystemMenu(window, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_DISABLED);
}

void SetPluginIcon(HWND window, HINSTANCE instance) {
  HICON icon = ::LoadIconA(instance, MAKEINTRESOURCEA(kToolWindowIcon));
  ::SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  ::SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void MoveWindowTo(HWND window, WindowPoint position) {
  ::SetWindowPos(window, nullptr, position.x, position.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MakeWindowTopmost(HWND window) {
  ::SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

WindowPoint WindowCorner(HWND window) {
  RECT rect{};
  ::GetWindowRect(window, &rect);
  return {rect.left, rect.top};
}

}  // namespace velmora
