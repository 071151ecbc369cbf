#pragma once

#include <atomic>
#include <mutex>

#include "platform/window_system.h"
#include "plugin/setup_shutdown.h"

struct HWND__;

namespace velmora {

class DxccDisplay;

// The plug-in's windows on the desktop. Message boxes belong to the host's
// active window. The Cabrillo header form is the dialog from the DLL's
// resources. The setup window runs as a modal dialog on a thread of its own,
// the setup thread, which also owns the two tool windows; the host's thread
// calls every method and reaches that thread only by window messages.
class Win32WindowSystem : public WindowSystem {
 public:
  static constexpr unsigned long kShutdownBoundMs = static_cast<unsigned long>(
      std::chrono::milliseconds(kSetupShutdownBound).count());

  Win32WindowSystem() = default;
  ~Win32WindowSystem() override;
  Win32WindowSystem(const Win32WindowSystem&) = delete;
  Win32WindowSystem& operator=(const Win32WindowSystem&) = delete;

  void ShowMessage(const std::string& text, const std::string& caption,
                   MessageIcon icon) override;
  bool RunCabrilloForm(CabrilloForm& form) override;
  bool SetupWindowExists() override;
  void StartSetupThread() override;
  void PostStatusUpdate() override;
  void ShutdownWindows() override;
  void BindSetupController(SetupController* controller) override;
  // What the DXCC info window draws from; bound and unbound with the
  // controller.
  void BindDxccDisplay(const DxccDisplay* display);

 private:
  static unsigned long __stdcall SetupThreadMain(void* system);
  void RunSetupThread();
  HWND__* Window();
  void WaitForSetupEnd(unsigned long long deadline);
  void ReleaseThread();

  std::mutex mutex_;
  HWND__* window_ = nullptr;               // the setup dialog; guarded by mutex_
  SetupController* controller_ = nullptr;  // guarded by mutex_
  const DxccDisplay* display_ = nullptr;   // guarded by mutex_
  // The setup window reference: set by the setup thread before its dialog
  // runs, cleared as the thread's last step.
  std::atomic<bool> setup_running_{false};
  void* thread_ = nullptr;  // host's thread only
  void* opened_ = nullptr;  // event: the setup dialog exists; host's thread only
};

}  // namespace velmora
