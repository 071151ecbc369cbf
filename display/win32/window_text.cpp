#include "display/win32/window_text.h"

namespace velmora {

void SetWindowText1251(HWND window, const std::string& text) {
  constexpr UINT kCyrillic = 1251;
  const int length = static_cast<int>(text.size());
  const int size = ::MultiByteToWideChar(kCyrillic, 0, text.data(), length, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
  if (size > 0) ::MultiByteToWideChar(kCyrillic, 0, text.data(), length, wide.data(), size);
  ::SetWindowTextW(window, wide.c_str());
}

}  // namespace velmora
