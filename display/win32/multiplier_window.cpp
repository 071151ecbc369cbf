#include "display/win32/multiplier_window.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "display/colour.h"
#include "display/multiplier_window_view.h"

namespace velmora {

namespace {

bool IsColourRequest(UINT message) {
  return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

// The answer to a colour request of the window, a page or a control: black
// text on the page background.
INT_PTR PageColours(HDC dc, HBRUSH brush) {
  ::SetTextColor(dc, RGB(kTextColour.red, kTextColour.green, kTextColour.blue));
  ::SetBkColor(dc, RGB(kPageBackground.red, kPageBackground.green, kPageBackground.blue));
  return reinterpret_cast<INT_PTR>(brush);
}

// The tab control erases to the system's face colour, which showed as a strip
// between the tab buttons and the page: it erases to the page colour instead.
// Its own procedure and the brush wait in properties of the control.
constexpr char kTabProcedure[] = "velmora.tab_procedure";
constexpr char kTabBrush[] = "velmora.tab_brush";

LRESULT CALLBACK TabProcedure(HWND tabs, UINT message, WPARAM wparam, LPARAM lparam) {
  auto own = reinterpret_cast<WNDPROC>(::GetPropA(tabs, kTabProcedure));
  if (!own) return ::DefWindowProcA(tabs, message, wparam, lparam);
  if (message == WM_ERASEBKGND) {
    RECT client{};
    ::GetClientRect(tabs, &client);
    ::FillRect(reinterpret_cast<HDC>(wparam), &client,
               static_cast<HBRUSH>(::GetPropA(tabs, kTabBrush)));
    return TRUE;
  }
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrA(tabs, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
    ::RemovePropA(tabs, kTabProcedure);
    ::RemovePropA(tabs, kTabBrush);
  }
  return ::CallWindowProcA(own, tabs, message, wparam, lparam);
}

void ErasePageColoured(HWND tabs, HBRUSH brush) {
  const LONG_PTR own = ::GetWindowLongPtrA(tabs, GWLP_WNDPROC);
  if (!own || !brush || !::SetPropA(tabs, kTabBrush, brush) ||
      !::SetPropA(tabs, kTabProcedure, reinterpret_cast<HANDLE>(own)))
    return;
  ::SetWindowLongPtrA(tabs, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TabProcedure));
}

}  // namespace

std::unique_ptr<MultiplierWindow> MultiplierWindow::Open(HINSTANCE instance,
                                                         WindowTracker& controller,
                                                         const ToolPlacement& placement) {
  std::unique_ptr<MultiplierWindow> window(
      new MultiplierWindow(instance, controller, placement));
  if (!window->Create(kMultiplierWindowResource)) return nullptr;
  return window;
}

MultiplierWindow::MultiplierWindow(HINSTANCE instance, WindowTracker& controller,
                                   const ToolPlacement& placement)
    : ToolDialog(instance, WindowKind::kMultiplier, controller, placement),
      brush_(::CreateSolidBrush(
          RGB(kPageBackground.red, kPageBackground.green, kPageBackground.blue))) {}

MultiplierWindow::~MultiplierWindow() {
  Destroy();
  if (brush_) ::DeleteObject(brush_);
}

void MultiplierWindow::ShowPageStates(const PageStates& states) {
  const auto& pages = ContinentPages();
  for (std::size_t page = 0; page < pages.size(); ++page) {
    const auto boxes = pages[page].boxes;
    const auto& members = states[page];
    for (std::size_t box = 0; box < boxes.size() && box < members.size(); ++box)
      ::CheckDlgButton(pages_[page], boxes[box].control_id,
                       members[box] != 0 ? BST_CHECKED : BST_UNCHECKED);
  }
}

// The pages go where the tab control leaves room for them, in tab order.
void MultiplierWindow::OnInit() {
  HWND tabs = ::GetDlgItem(handle(), kMultiplierTabControl);
  ErasePageColoured(tabs, brush_);
  RECT tab_rect{};
  ::GetWindowRect(tabs, &tab_rect);
  const PagePlacement at =
      PlacePages(tab_rect.right - tab_rect.left, tab_rect.bottom - tab_rect.top);
  // The pages reach down to the tab control's frame: at the given height the
  // last row of the longest page sat on the page's bottom edge.
  RECT frame{};
  ::GetClientRect(tabs, &frame);
  ::MapWindowPoints(tabs, handle(), reinterpret_cast<POINT*>(&frame), 2);
  page_area_ = {at.x, at.y, at.x + at.width, std::max<LONG>(at.y + at.height, frame.bottom)};

  const auto& pages = ContinentPages();
  for (std::size_t page = 0; page < pages.size(); ++page)
    pages_[page] = ::CreateDialogParamA(instance(), MAKEINTRESOURCEA(pages[page].resource_id),
                                        handle(), &PageProcedure,
                                        reinterpret_cast<LPARAM>(brush_));
  SelectPage(kEuPage);
  for (std::size_t page = 0; page < pages.size(); ++page) {
    std::string caption(pages[page].tab_caption);
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption.data();
    ::SendMessageA(tabs, TCM_INSERTITEMA, page, reinterpret_cast<LPARAM>(&item));
  }
}

bool MultiplierWindow::OnMessage(UINT message, WPARAM wparam, LPARAM lparam,
                                 INT_PTR& result) {
  if (IsColourRequest(message)) {
    result = PageColours(reinterpret_cast<HDC>(wparam), brush_);
    return true;
  }
  switch (message) {
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lparam);
      if (header->idFrom == kMultiplierTabControl && header->code == TCN_SELCHANGE)
        SelectPage(static_cast<int>(::SendMessageA(header->hwndFrom, TCM_GETCURFOCUS, 0, 0)));
      return false;
    }
    case WM_SHOWWINDOW:
      if (wparam) SelectPage(kEuPage);
      return false;
    default:
      return false;
  }
}

void MultiplierWindow::SelectPage(int index) {
  if (!IsPageIndex(index)) return;
  const RECT& a = page_area_;
  for (int page = 0; page < kPageCount; ++page) {
    HWND window = pages_[static_cast<std::size_t>(page)];
    if (page == index)
      ::SetWindowPos(window, HWND_TOP, a.left, a.top, a.right - a.left, a.bottom - a.top,
                     SWP_SHOWWINDOW);
    else
      ::ShowWindow(window, SW_HIDE);
  }
  ::SendMessageA(::GetDlgItem(handle(), kMultiplierTabControl), TCM_SETCURSEL,
                 static_cast<WPARAM>(index), 0);
}

// A continent page paints on the window's brush, which it gets as its
// creation parameter; everything else is the dialog default.
INT_PTR CALLBACK MultiplierWindow::PageProcedure(HWND page, UINT message, WPARAM wparam,
                                                 LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    ::SetWindowLongPtrA(page, GWLP_USERDATA, lparam);
    return FALSE;
  }
  if (!IsColourRequest(message)) return FALSE;
  return PageColours(reinterpret_cast<HDC>(wparam),
                     reinterpret_cast<HBRUSH>(::GetWindowLongPtrA(page, GWLP_USERDATA)));
}

}  // namespace velmora
