#include "display/multiplier_window_view.h"

#include "display/dxcc_table.h"

namespace velmora {

PagePlacement PlacePages(int tab_width, int tab_height) {
  return {.x = 13, .y = 44, .width = tab_width - 7, .height = tab_height - 38};
}

bool IsPageIndex(int index) { return index >= 0 && index < kPageCount; }

}  // namespace velmora
