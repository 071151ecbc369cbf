#include "display/info_window_view.h"

namespace velmora {

Rect InfoButtonRect(int client_width, int client_height) {
  constexpr int kMargin = 5;
  return {kMargin, kMargin, client_width - kMargin, client_height - kMargin};
}

}  // namespace velmora
