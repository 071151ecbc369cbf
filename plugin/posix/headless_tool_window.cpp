#include "plugin/posix/headless_tool_window.h"

namespace velmora {

HeadlessToolWindow::HeadlessToolWindow(HeadlessWindowState& state,
                                       const ToolPlacement& placement)
    : state_(state) {
  state_.exists = true;
  state_.visible = false;
  state_.topmost = placement.topmost;
  state_.position = placement.position;
  state_.title.clear();
  ++state_.openings;
}

HeadlessToolWindow::~HeadlessToolWindow() {
  state_.exists = false;
  state_.visible = false;
}

}  // namespace velmora
