#include "display/win32/info_window.h"

#include "display/info_button_view.h"
#include "display/info_window_view.h"
#include "display/win32/memory_dc.h"

namespace velmora {

namespace {

COLORREF ToColorRef(Rgb colour) {
  return RGB(colour.red, colour.green, colour.blue);
}

void Replay(HDC dc, const std::vector<DrawOp>& ops) {
  for (const DrawOp& op : ops) {
    switch (op.kind) {
      case DrawOp::Kind::kFill: {
        const RECT rect{op.rect.left, op.rect.top, op.rect.right, op.rect.bottom};
        HBRUSH brush = ::CreateSolidBrush(ToColorRef(op.colour));
        ::FillRect(dc, &rect, brush);
        ::DeleteObject(brush);
        break;
      }
      case DrawOp::Kind::kTextStyle:
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ToColorRef(op.colour));
        break;
      case DrawOp::Kind::kText:
        ::TextOutA(dc, op.x, op.y, op.text.data(), static_cast<int>(op.text.size()));
        break;
    }
  }
}

}  // namespace

std::unique_ptr<InfoWindow> InfoWindow::Open(HINSTANCE instance, WindowTracker& controller,
                                             const DxccDisplay& display,
                                             const ToolPlacement& placement) {
  std::unique_ptr<InfoWindow> window(new InfoWindow(instance, controller, display, placement));
  if (!window->Create(kInfoWindowResource)) return nullptr;
  return window;
}

InfoWindow::InfoWindow(HINSTANCE instance, WindowTracker& controller,
                       const DxccDisplay& display, const ToolPlacement& placement)
    : ToolDialog(instance, WindowKind::kDxccInfo, controller, placement), display_(display) {}

void InfoWindow::RepaintInfoButton() {
  ::InvalidateRect(::GetDlgItem(handle(), kInfoButtonControl), nullptr, FALSE);
}

bool InfoWindow::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR& result) {
  switch (message) {
    case WM_SIZE:
      if (HWND button = ::GetDlgItem(handle(), kInfoButtonControl)) {
        const Rect at = InfoButtonRect(LOWORD(lparam), HIWORD(lparam));
        ::MoveWindow(button, at.left, at.top, at.right - at.left, at.bottom - at.top, FALSE);
        ::InvalidateRect(button, nullptr, FALSE);
      }
      return false;
    case WM_DRAWITEM:
      if (wparam != kInfoButtonControl) return false;
      Paint(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
      result = TRUE;
      return true;
    default:
      return false;
  }
}

// The picture is built from a copy of the tables taken now; no lock is held
// while drawing.
void InfoWindow::Paint(const DRAWITEMSTRUCT& item) const {
  const RECT& r = item.rcItem;
  const std::vector<DrawOp> ops =
      DrawInfoButton(display_.ButtonInput({r.left, r.top, r.right, r.bottom}));
  MemoryDc memory(item.hDC, r);
  Replay(memory.dc(), ops);
}

}  // namespace velmora
