// The DLL's one module object: built when a process loads the DLL, destroyed
// when it unloads it. Loading starts no thread, opens nothing and writes
// nothing; the entry points do the work.

#include "platform/win32/windows_api.h"

#include "platform/ini_settings_store.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_host_link.h"
#include "plugin/win32/win32_window_system.h"
#include "plugin/module_instance.h"

namespace velmora {

namespace {

// Members are built in order and destroyed in reverse: the services first,
// the module that uses them last.
struct Win32Module {
  Win32Module() { windows.BindDxccDisplay(&module.dxcc_display()); }

  Win32FileSystem files;
  // The settings file goes through the file layer: a write replaces the file
  // whole, so a disk that fills during the write keeps every earlier key.
  IniSettingsStore settings{files, "Plugins\\Velmora.ini"};
  Win32WindowSystem windows;
  Win32HostLink host;
  Module module{Platform{files, settings, windows, host}};
};

// Constant-initialised: nothing runs before DllMain. A plain pointer, so that
// no exit handler of the runtime destroys the module when the process ends:
// the setup thread may have been stopped anywhere, holding a lock that the
// destruction would wait for.
Win32Module* instance = nullptr;

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
  delete instance;
  instance = nullptr;
}

}  // namespace
}  // namespace velmora

// When the process is ending (`reserved` not null) the other threads are
// already gone, stopped wherever they were: nothing is waited for or
// destroyed, the memory goes with the process.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  try {
    if (reason == DLL_PROCESS_ATTACH) velmora::instance = new velmora::Win32Module();
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) velmora::Unload();
  } catch (...) {
    return FALSE;  // the module could not be built: the load fails
  }
  return TRUE;
}
