#include "display/win32/window_frame.h"

#include "display/tool_window_view.h"

namespace velmora {

void DisableCloseItem(HWND window) {
  ::EnableMenuItem(::GetSystemMenu(window, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_DISABLED);
}

namespace {

// The resource's bits as a locked pointer and their size; null when missing.
const BYTE* ResourceBits(HINSTANCE instance, LPCSTR name, LPCSTR type, DWORD& size) {
  HRSRC resource = ::FindResourceA(instance, name, type);
  HGLOBAL data = resource ? ::LoadResource(instance, resource) : nullptr;
  size = resource ? ::SizeofResource(instance, resource) : 0;
  return data ? static_cast<const BYTE*>(::LockResource(data)) : nullptr;
}

HICON MakeIcon(HINSTANCE instance, int size) {
  DWORD length = 0;
  const BYTE* group =
      ResourceBits(instance, MAKEINTRESOURCEA(kToolWindowIcon), RT_GROUP_ICON, length);
  if (!group) return nullptr;
  const int id = ::LookupIconIdFromDirectoryEx(const_cast<BYTE*>(group), TRUE, size, size,
                                               LR_DEFAULTCOLOR);
  const BYTE* bits = ResourceBits(instance, MAKEINTRESOURCEA(id), RT_ICON, length);
  if (!bits) return nullptr;
  constexpr DWORD kIconFormat = 0x00030000;
  return ::CreateIconFromResourceEx(const_cast<BYTE*>(bits), length, TRUE, kIconFormat, size,
                                    size, LR_DEFAULTCOLOR);
}

}  // namespace

PluginIcons::PluginIcons(HINSTANCE instance)
    : big_(MakeIcon(instance, ::GetSystemMetrics(SM_CXICON))),
      small_(MakeIcon(instance, ::GetSystemMetrics(SM_CXSMICON))) {}

PluginIcons::~PluginIcons() {
  if (big_) ::DestroyIcon(big_);
  if (small_) ::DestroyIcon(small_);
}

void PluginIcons::SetOn(HWND window) const {
  ::SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_));
  ::SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_));
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
