#pragma once

#include "platform/win32/windows_api.h"

#include <array>
#include <memory>

#include "display/dxcc_table.h"
#include "display/win32/tool_dialog.h"

namespace velmora {

// The multiplier window (template 117): a tab control over the six continent
// pages of the DXCC table (templates 118-123), whose check boxes show the
// page states of the last status refresh. Each showing starts on the EU page.
// Setup thread only.
class MultiplierWindow final : public ToolDialog {
 public:
  // The window, created hidden; nullptr when it could not be created.
  static std::unique_ptr<MultiplierWindow> Open(HINSTANCE instance,
                                                WindowTracker& controller,
                                                const ToolPlacement& placement);
  ~MultiplierWindow() override;

  void ShowPageStates(const PageStates& states) override;

 private:
  MultiplierWindow(HINSTANCE instance, WindowTracker& controller,
                   const ToolPlacement& placement);

  void OnInit() override;
  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR& result) override;
  void SelectPage(int index);

  static INT_PTR CALLBACK PageProcedure(HWND page, UINT message, WPARAM wparam,
                                        LPARAM lparam);

  HBRUSH brush_ = nullptr;
  std::array<HWND, kPageCount> pages_{};
  RECT page_area_{};  // where the pages sit in the client area
};

}  // namespace velmora
