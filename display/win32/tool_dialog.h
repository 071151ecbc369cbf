#pragma once

#include "platform/win32/windows_api.h"

#include <string>

#include "display/win32/window_frame.h"
#include "display/window_tracker.h"
#include "display/tool_window.h"

namespace velmora {

// What the DXCC info window and the multiplier window share: a modeless
// dialog of the setup thread without owner, created hidden at its placement
// (topmost with the on-top option) with the plug-in's icon and its Close
// item disabled. Enter does nothing, Escape hides it, and the pointer over it
// saves its position through the controller. Destroying the object destroys
// the window. Setup thread only.
class ToolDialog : public ToolWindow {
 public:
  ~ToolDialog() override;
  ToolDialog(const ToolDialog&) = delete;
  ToolDialog& operator=(const ToolDialog&) = delete;

  void Show() override;
  bool IsVisible() const override;
  void ShowTitle(const std::string& title) override;

  HWND handle() const { return window_; }

 protected:
  ToolDialog(HINSTANCE instance, WindowKind kind, WindowTracker& controller,
             const ToolPlacement& placement);

  // Creates the window from dialog template `resource`; false when it could
  // not be created.
  bool Create(int resource);
  // Destroys the window now; a derived class does so before it frees what
  // its window uses.
  void Destroy();

  // The window's own part of its initialisation, after the shared one.
  virtual void OnInit() {}
  // The window's own messages, before the shared handling; true when
  // handled, with the dialog procedure's answer in `result`.
  virtual bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR& result) = 0;

  HINSTANCE instance() const { return instance_; }

 private:
  static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wparam,
                                    LPARAM lparam);
  INT_PTR Handle(UINT message, WPARAM wparam, LPARAM lparam);

  HINSTANCE instance_;
  WindowKind kind_;
  WindowTracker& controller_;
  ToolPlacement placement_;
  PluginIcons icons_;  // outlives the window: members go after Destroy()
  HWND window_ = nullptr;
};

}  // namespace velmora
