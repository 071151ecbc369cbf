#include "platform/win32/win32_window_system.h"

#include "platform/win32/windows_api.h"

namespace velmora {

void Win32WindowSystem::ShowMessage(const std::string& text, const std::string& caption,
                                    MessageIcon icon) {
  UINT style = MB_OK;
  if (icon == MessageIcon::kInformation) style |= MB_ICONINFORMATION;
  // A null caption makes the system show its default title.
  ::MessageBoxA(::GetActiveWindow(), text.c_str(),
                caption.empty() ? nullptr : caption.c_str(), style);
}

bool Win32WindowSystem::RunCabrilloForm(CabrilloForm&) { return true; }

}  // namespace velmora
