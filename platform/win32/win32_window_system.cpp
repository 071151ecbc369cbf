#include "platform/win32/win32_window_system.h"

#include "platform/win32/windows_api.h"

#include "setup/win32/cabrillo_dialog.h"

namespace velmora {

void Win32WindowSystem::ShowMessage(const std::string& text, const std::string& caption,
                                    MessageIcon icon) {
  UINT style = MB_OK;
  if (icon == MessageIcon::kInformation) style |= MB_ICONINFORMATION;
  // A null caption makes the system show its default title.
  ::MessageBoxA(::GetActiveWindow(), text.c_str(),
                caption.empty() ? nullptr : caption.c_str(), style);
}

// On the calling thread (the host's), with no owner: no host window is
// disabled while the form is open.
bool Win32WindowSystem::RunCabrilloForm(CabrilloForm& form) { return RunCabrilloDialog(form); }

}  // namespace velmora
