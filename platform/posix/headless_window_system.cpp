#include "platform/posix/headless_window_system.h"

namespace velmora {

void HeadlessWindowSystem::ShowMessage(const std::string& text, const std::string&,
                                       MessageIcon) {
  messages_.push_back(text);
}

bool HeadlessWindowSystem::RunCabrilloForm(CabrilloForm&) { return true; }

void HeadlessWindowSystem::StartSetupThread() {
  ++setup_starts_;
  setup_open_ = true;
}

}  // namespace velmora
