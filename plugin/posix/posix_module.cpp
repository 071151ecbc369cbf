#include "platform/ini_settings_store.h"
#include "plugin/posix/headless_window_system.h"
#include "platform/posix/null_host_link.h"
#include "platform/posix/posix_file_system.h"
#include "plugin/module_instance.h"

namespace velmora {

namespace {

// The library's one module object with the POSIX services; built when the
// library is loaded and destroyed, members in reverse, when it is unloaded.
struct PosixModule {
  PosixFileSystem files;
  IniSettingsStore settings{files, "Plugins/Velmora.ini"};
  HeadlessWindowSystem windows;
  NullHostLink host;
  Module module{Platform{files, settings, windows, host}};
};

PosixModule instance;

}  // namespace

Module& TheModule() { return instance.module; }

}  // namespace velmora
