#include "display/tool_window_view.h"

namespace velmora {

ToolWindowOpening OpenToolWindow(int saved_x, int saved_y, bool on_top) {
  constexpr Point kDefault{10, 400};
  return {.position = {saved_x != 0 ? saved_x : kDefault.x,
                       saved_y != 0 ? saved_y : kDefault.y},
          .topmost = on_top};
}

}  // namespace velmora
