#pragma once

#include "platform/win32/windows_api.h"

#include <memory>

#include "display/dxcc_display.h"
#include "display/win32/tool_dialog.h"

namespace velmora {

// The DXCC info window (template 104): its one owner-drawn info button shows
// DrawInfoButton's picture of what the DXCC display holds at each repaint,
// composed off screen and copied once. Setup thread only.
class InfoWindow final : public ToolDialog {
 public:
  // The window, created hidden; nullptr when it could not be created.
  static std::unique_ptr<InfoWindow> Open(HINSTANCE instance, WindowTracker& controller,
                                          const DxccDisplay& display,
                                          const ToolPlacement& placement);

  void RepaintInfoButton() override;

 private:
  InfoWindow(HINSTANCE instance, WindowTracker& controller, const DxccDisplay& display,
             const ToolPlacement& placement);

  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR& result) override;
  void Paint(const DRAWITEMSTRUCT& item) const;

  const DxccDisplay& display_;
};

}  // namespace velmora
