#include "replay/replay_module.h"

#include <memory>

#include "platform/ini_settings_store.h"
#include "platform/posix/null_host_link.h"
#include "platform/posix/posix_file_system.h"
#include "replay/replay_window_system.h"
#include "plugin/module_instance.h"

namespace velmora {

namespace {

// The tool's one module object: the plug-in's own services, with the replay's
// windows in place of the host's screen.
struct ReplayModule {
  PosixFileSystem files;
  IniSettingsStore settings{files, "Plugins/Velmora.ini"};
  replay::ReplayWindowSystem windows;
  NullHostLink host;
  Module module{Platform{files, settings, windows, host}};
};

std::unique_ptr<ReplayModule> instance = std::make_unique<ReplayModule>();

}  // namespace

Module& TheModule() { return instance->module; }

replay::ReplayWindowSystem& replay::TheReplayWindows() { return instance->windows; }

void replay::RenewReplayModule() {
  instance.reset();  // the old module goes before the new one opens its files
  instance = std::make_unique<ReplayModule>();
}

}  // namespace velmora
