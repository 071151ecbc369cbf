#include "plugin/win32/win32_window_system.h"

#include "platform/win32/windows_api.h"

#include <commctrl.h>
#include <objbase.h>

#include "platform/float_state_guard.h"
#include "platform/win32/this_module.h"
#include "setup/win32/cabrillo_dialog.h"
#include "setup/win32/setup_window.h"

namespace velmora {

namespace {

constexpr DWORD kPollStepMs = 20;

DWORD Remaining(ULONGLONG deadline) {
  const ULONGLONG now = ::GetTickCount64();
  return now < deadline ? static_cast<DWORD>(deadline - now) : 0;
}

// Waits until one of `handles` is signalled (true) or `ms` have passed,
// serving meanwhile what other threads ask of this one: sent messages and,
// in a single-threaded apartment, calls into it. The setup thread calls the
// host's object, which lives in the host's apartment, up to its last release.
bool WaitServing(DWORD count, HANDLE* handles, DWORD ms) {
  DWORD index = 0;
  const HRESULT result = ::CoWaitForMultipleHandles(0, ms, count, handles, &index);
  if (result == S_OK) return true;
  if (result == RPC_S_CALLPENDING) return false;
  return ::WaitForMultipleObjects(count, handles, FALSE, ms) < WAIT_OBJECT_0 + count;
}

// Close requests are posted, not sent: the wait for the setup thread is
// bounded, and a sent message can wait past its timeout for a setup thread
// that is busy elsewhere.
void PostClose(HWND window, UINT message, WPARAM wparam) {
  ::PostMessageA(window, message, wparam, 0);
}

}  // namespace

Win32WindowSystem::~Win32WindowSystem() {
  ShutdownWindows();
  if (opened_) ::CloseHandle(opened_);
}

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

bool Win32WindowSystem::SetupWindowExists() { return setup_running_; }

// A window still open is shut down first. Returns once the new dialog is
// open, so that the next reset sees it and status updates reach it.
void Win32WindowSystem::StartSetupThread() {
  ShutdownWindows();
  if (!opened_) opened_ = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!opened_) return;
  ::ResetEvent(opened_);
  // The setup thread holds the library for as long as it runs and lets it go
  // as its very last step, so no code of it can outlive the library.
  HMODULE held = nullptr;
  if (!::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCSTR>(&ThisModule), &held))
    return;
  thread_ = ::CreateThread(nullptr, 0, &SetupThreadMain, this, 0, nullptr);
  if (!thread_) {
    ::FreeLibrary(held);
    return;
  }
  HANDLE handles[] = {opened_, thread_};
  WaitServing(2, handles, kShutdownBoundMs);
}

void Win32WindowSystem::PostStatusUpdate() {
  if (HWND window = Window()) ::PostMessageA(window, kStatusUpdateMessage, 0, 0);
}

// The setup thread handles the requests in order, then ends. Host's thread.
void Win32WindowSystem::ShutdownWindows() {
  const ULONGLONG deadline = ::GetTickCount64() + kShutdownBoundMs;
  if (HWND window = Window()) {
    for (WindowKind kind : kToolWindowsClosedFirst)
      PostClose(window, kCloseToolWindowMessage, static_cast<WPARAM>(kind));
    PostClose(window, WM_CLOSE, 0);
  }
  WaitForSetupEnd(deadline);
  ReleaseThread();
}

void Win32WindowSystem::BindSetupController(SetupController* controller) {
  std::lock_guard lock(mutex_);
  controller_ = controller;
  if (!controller) display_ = nullptr;
}

void Win32WindowSystem::BindDxccDisplay(const DxccDisplay* display) {
  std::lock_guard lock(mutex_);
  display_ = display;
}

DWORD WINAPI Win32WindowSystem::SetupThreadMain(void* system) {
  auto* self = static_cast<Win32WindowSystem*>(system);
  {
    // Every window procedure of this thread (the setup window, the tool
    // windows and their refresh) computes in the plug-in's own state, in
    // whatever state the system starts a thread.
    const FloatStateGuard state;
    self->RunSetupThread();
  }
  // When this was the last hold on the library, it unloads here, on this
  // thread, and the thread ends without coming back into it.
  ::FreeLibraryAndExitThread(ThisModule(), 0);
  return 0;
}

// The setup thread: it records its window unless one exists, runs the dialog
// in its own apartment, and lets the controller close the tool windows and
// release the host's object before the apartment ends.
void Win32WindowSystem::RunSetupThread() {
  SetupController* controller = nullptr;
  const DxccDisplay* display = nullptr;
  bool recorded = false;
  {
    std::lock_guard lock(mutex_);
    if (!setup_running_) {
      setup_running_ = recorded = true;
      controller = controller_;
      display = display_;
    }
  }
  HANDLE opened = opened_;
  if (!recorded) {
    ::SetEvent(opened);
    return;
  }
  ::CoInitialize(nullptr);
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TAB_CLASSES};
  ::InitCommonControlsEx(&controls);
  try {
    SetupWindow window(ThisModule(), controller, display);
    window.Run([this, opened](HWND open) {
      {
        std::lock_guard lock(mutex_);
        window_ = open;
      }
      ::SetEvent(opened);
    });
    {
      std::lock_guard lock(mutex_);
      window_ = nullptr;
    }
    if (controller) controller->Closed();
  } catch (...) {
    std::lock_guard lock(mutex_);
    window_ = nullptr;
  }
  ::SetEvent(opened);
  ::CoUninitialize();
  setup_running_ = false;
}

HWND Win32WindowSystem::Window() {
  std::lock_guard lock(mutex_);
  return window_;
}

// Waits, bounded, until the setup thread has cleared its reference or is
// gone.
void Win32WindowSystem::WaitForSetupEnd(ULONGLONG deadline) {
  while (setup_running_ && thread_) {
    const DWORD left = Remaining(deadline);
    if (left == 0) return;
    HANDLE thread = thread_;
    if (WaitServing(1, &thread, left < kPollStepMs ? left : kPollStepMs)) return;
  }
}

// Forgets the setup thread, whether it has ended or was let go.
void Win32WindowSystem::ReleaseThread() {
  if (!thread_) return;
  ::CloseHandle(thread_);
  thread_ = nullptr;
}

}  // namespace velmora
