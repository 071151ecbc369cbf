#include "display/win32/tool_dialog.h"

#include "display/win32/window_frame.h"
#include "display/win32/window_text.h"

namespace velmora {

ToolDialog::ToolDialog(HINSTANCE instance, WindowKind kind, WindowTracker& controller,
                       const ToolPlacement& placement)
    : instance_(instance),
      kind_(kind),
      controller_(controller),
      placement_(placement),
      icons_(instance) {}

ToolDialog::~ToolDialog() { Destroy(); }

// The window's last messages find no object: they may come while the derived
// part is being destroyed.
void ToolDialog::Destroy() {
  if (!window_) return;
  ::SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
  ::DestroyWindow(window_);
  window_ = nullptr;
}

// A Unicode window, so that its title keeps the Cyrillic letters whatever
// the system's ANSI code page is.
bool ToolDialog::Create(int resource) {
  ::CreateDialogParamW(instance_, MAKEINTRESOURCEW(resource), nullptr, &Procedure,
                       reinterpret_cast<LPARAM>(this));
  return window_ != nullptr;
}

void ToolDialog::Show() { ::ShowWindow(window_, SW_SHOW); }

bool ToolDialog::IsVisible() const { return ::IsWindowVisible(window_) != FALSE; }

void ToolDialog::ShowTitle(const std::string& title) { SetWindowText1251(window_, title); }

INT_PTR CALLBACK ToolDialog::Procedure(HWND window, UINT message, WPARAM wparam,
                                       LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    ::SetWindowLongPtrA(window, GWLP_USERDATA, lparam);
    reinterpret_cast<ToolDialog*>(lparam)->window_ = window;
  }
  auto* self = reinterpret_cast<ToolDialog*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self) return FALSE;
  // Nothing may leave a window procedure by exception: the window keeps its
  // state and the message counts as unhandled.
  try {
    return self->Handle(message, wparam, lparam);
  } catch (...) {
    return FALSE;
  }
}

INT_PTR ToolDialog::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  INT_PTR result = FALSE;
  if (message != WM_INITDIALOG && OnMessage(message, wparam, lparam, result)) return result;
  switch (message) {
    case WM_INITDIALOG:
      MoveWindowTo(window_, placement_.position);
      if (placement_.topmost) MakeWindowTopmost(window_);
      icons_.SetOn(window_);
      OnInit();
      DisableCloseItem(window_);
      return TRUE;
    case WM_SETCURSOR:
      controller_.OnSetCursor(kind_, WindowCorner(window_));
      return FALSE;
    case WM_COMMAND:
      // Enter (IDOK) does nothing; Escape (IDCANCEL) hides the window, which
      // the next status refresh takes as closed.
      if (LOWORD(wparam) == IDCANCEL) ::ShowWindow(window_, SW_HIDE);
      return LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL;
    default:
      return FALSE;
  }
}

}  // namespace velmora
