#pragma once

#include "platform/window_system.h"

namespace velmora {

// The plug-in's windows on the desktop. Message boxes belong to the host's
// active window. The setup thread and its windows are not there yet: the
// setup window never exists and the thread methods do nothing. The Cabrillo
// header form is the dialog from the DLL's resources.
class Win32WindowSystem : public WindowSystem {
 public:
  void ShowMessage(const std::string& text, const std::string& caption,
                   MessageIcon icon) override;
  bool RunCabrilloForm(CabrilloForm& form) override;
  bool SetupWindowExists() override { return false; }
  void StartSetupThread() override {}
  void PostStatusUpdate() override {}
  void ShutdownWindows() override {}
};

}  // namespace velmora
