#pragma once

#include <string>

namespace velmora {

struct CabrilloForm;
class SetupController;

enum class MessageIcon { kNone, kInformation };

// Everything the plug-in shows or runs on the setup thread.
class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  // Modal; returns when the operator dismissed it. An empty caption leaves the
  // system's default title.
  virtual void ShowMessage(const std::string& text, const std::string& caption,
                           MessageIcon icon) = 0;
  // Runs the Cabrillo header form modally on the calling thread; true on OK,
  // with the edited fields in `form`.
  virtual bool RunCabrilloForm(CabrilloForm& form) = 0;

  virtual bool SetupWindowExists() = 0;
  virtual void StartSetupThread() = 0;
  // Posts the status-update message to the setup window, if there is one.
  virtual void PostStatusUpdate() = 0;
  // Closes the tool windows and the setup window and waits (bounded) until
  // the setup thread has ended.
  virtual void ShutdownWindows() = 0;
  // The controller whose handlers the setup window runs on the setup thread.
  // The module binds its own at construction and unbinds it (nullptr) after
  // the window shutdown. A system without a setup window ignores it.
  virtual void BindSetupController(SetupController* controller) { (void)controller; }
};

}  // namespace velmora
