#include "setup/win32/setup_window.h"

#include "display/win32/info_window.h"
#include "display/win32/multiplier_window.h"
#include "display/win32/window_frame.h"
#include "display/win32/window_text.h"
#include "resources/resource_ids.h"
#include "setup/win32/modeless_dialog_keys.h"

namespace velmora {

namespace {

bool IsColourRequest(UINT message) {
  return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

}  // namespace

SetupWindow::SetupWindow(HINSTANCE instance, SetupController* controller,
                         const DxccDisplay* display)
    : instance_(instance), controller_(controller), display_(display), icons_(instance) {}

SetupWindow::~SetupWindow() {
  if (brush_) ::DeleteObject(brush_);
}

bool SetupWindow::Run(const std::function<void(HWND)>& opened) {
  ModelessDialogKeys keys;
  opened_ = &opened;
  // A Unicode window: its Cyrillic title survives any ANSI code page.
  const INT_PTR ended = ::DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_SETUP), nullptr,
                                          &Procedure, reinterpret_cast<LPARAM>(this));
  opened_ = nullptr;
  window_ = nullptr;
  return ended != -1;
}

void SetupWindow::SetTexts(const SetupTexts& texts) {
  SetWindowText1251(window_, texts.title);
  SetWindowText1251(::GetDlgItem(window_, IDC_SETUP_VIEW_LABEL), texts.view_label);
  SetWindowText1251(::GetDlgItem(window_, IDC_SETUP_ON_TOP), texts.on_top_label);
}

void SetupWindow::SetChecks(const SetupChecks& checks) {
  ::CheckDlgButton(window_, IDC_SETUP_DXCC, checks.dxcc ? BST_CHECKED : BST_UNCHECKED);
  ::CheckDlgButton(window_, IDC_SETUP_EXTENDED, checks.extended ? BST_CHECKED : BST_UNCHECKED);
  ::CheckDlgButton(window_, IDC_SETUP_ON_TOP, checks.on_top ? BST_CHECKED : BST_UNCHECKED);
}

void SetupWindow::MoveTo(WindowPoint position) { MoveWindowTo(window_, position); }

void SetupWindow::MakeTopmost() { MakeWindowTopmost(window_); }

void SetupWindow::PostStatusUpdate() {
  ::PostMessageA(window_, kStatusUpdateMessage, 0, 0);
}

std::unique_ptr<ToolWindow> SetupWindow::CreateToolWindow(WindowKind kind,
                                                          const ToolPlacement& placement) {
  if (!controller_) return nullptr;
  switch (kind) {
    case WindowKind::kDxccInfo:
      if (!display_) return nullptr;
      return InfoWindow::Open(instance_, *controller_, *display_, placement);
    case WindowKind::kMultiplier:
      return MultiplierWindow::Open(instance_, *controller_, placement);
    case WindowKind::kSetup:
      break;
  }
  return nullptr;
}

INT_PTR CALLBACK SetupWindow::Procedure(HWND window, UINT message, WPARAM wparam,
                                        LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    ::SetWindowLongPtrA(window, GWLP_USERDATA, lparam);
    reinterpret_cast<SetupWindow*>(lparam)->window_ = window;
  }
  auto* self = reinterpret_cast<SetupWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self) return FALSE;
  // A handler that throws ends there, as a failed handler of a dialog does;
  // the window stays open.
  try {
    return self->Handle(message, wparam);
  } catch (...) {
    return FALSE;
  }
}

INT_PTR SetupWindow::Handle(UINT message, WPARAM wparam) {
  if (IsColourRequest(message)) {
    HDC dc = reinterpret_cast<HDC>(wparam);
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::SetBkColor(dc, RGB(255, 240, 198));
    return reinterpret_cast<INT_PTR>(brush_);
  }
  switch (message) {
    case WM_INITDIALOG:
      Init();
      return TRUE;
    case WM_COMMAND:
      Command(LOWORD(wparam), HIWORD(wparam));
      return TRUE;
    case WM_CLOSE:
      ::EndDialog(window_, IDCANCEL);
      return TRUE;
    case WM_SETCURSOR:
      if (controller_) controller_->OnSetCursor(WindowKind::kSetup, WindowCorner(window_));
      return FALSE;
    case kStatusUpdateMessage:
      if (controller_) controller_->OnStatusUpdate();
      return TRUE;
    case kOpenedMessage:
      if (opened_) (*opened_)(window_);
      return TRUE;
    case kCloseToolWindowMessage:
      if (controller_) controller_->CloseToolWindow(static_cast<WindowKind>(wparam));
      return TRUE;
    default:
      return FALSE;
  }
}

// The window is announced once everything of its opening is done, the
// system's part too (showing, focus, input method).
void SetupWindow::Init() {
  brush_ = ::CreateSolidBrush(RGB(255, 250, 198));
  icons_.SetOn(window_);
  DisableCloseItem(window_);
  ::PostMessageA(window_, kOpenedMessage, 0, 0);
  if (controller_) controller_->Open(*this);
}

// Enter (IDOK) does nothing; Escape (IDCANCEL) ends the dialog. The boxes
// toggle their own marks before their handlers run.
void SetupWindow::Command(int id, int code) {
  if (id == IDCANCEL) {
    ::EndDialog(window_, IDCANCEL);
    return;
  }
  if (code != BN_CLICKED || !controller_) return;
  switch (id) {
    case IDC_SETUP_DXCC:
      controller_->OnDxccClick();
      break;
    case IDC_SETUP_EXTENDED:
      controller_->OnExtendedClick();
      break;
    case IDC_SETUP_ON_TOP:
      controller_->OnOnTopClick();
      break;
    default:
      break;
  }
}

}  // namespace velmora
