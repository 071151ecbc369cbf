// The DLL's one module object: built when a process loads the DLL, destroyed
// when it unloads it. Loading starts no thread, opens nothing and writes
// nothing; the entry points do the work.

#include "platform/win32/windows_api.h"

#include <optional>

#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_host_link.h"
#include "platform/win32/win32_settings_store.h"
#include "platform/win32/win32_window_system.h"
#include "setup/module_instance.h"

namespace velmora {

namespace {

// Members are built in order and destroyed in reverse: the services first,
// the module that uses them last.
struct Win32Module {
  Win32Module() { windows.BindDxccDisplay(&module.dxcc_display()); }

  Win32FileSystem files;
  Win32SettingsStore settings;
  Win32WindowSystem windows;
  Win32HostLink host;
  Module module{Platform{files, settings, windows, host}};
};

// Constant-initialised: nothing runs before DllMain.
std::optional<Win32Module> instance;

}  // namespace

Module& TheModule() { return instance->module; }

}  // namespace velmora

namespace velmora {
namespace {

// The library unloads when its last hold goes: the host's, or that of a
// setup thread, which holds it while it runs (its last step lets it go). So no
// setup thread runs here and nothing is waited for under the loader lock: a
// FreeLibrary of the host while the setup window is open leaves the window
// to the operator, and the library goes once it is closed.
void Unload() {
  if (!instance) return;
  instance->windows.ShutdownWindows();
  instance.reset();
}

}  // namespace
}  // namespace velmora

// When the process is ending (`reserved` not null) the other threads are
// already gone and nothing is done here; the runtime's exit handlers may still
// destroy the module, whose waits then find no thread to wait for.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  try {
    if (reason == DLL_PROCESS_ATTACH) velmora::instance.emplace();
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) velmora::Unload();
  } catch (...) {
    return FALSE;  // the module could not be built: the load fails
  }
  return TRUE;
}
