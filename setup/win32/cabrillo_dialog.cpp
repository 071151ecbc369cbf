#include "setup/win32/cabrillo_dialog.h"

#include "platform/win32/windows_api.h"

#include <string>

#include "platform/win32/this_module.h"
#include "resources/resource_ids.h"
#include "setup/cabrillo_form_model.h"

namespace velmora {

namespace {

bool IsCombo(ControlKind kind) {
  return kind == ControlKind::kSortedCombo || kind == ControlKind::kUnsortedCombo;
}

// A control's whole text, however long.
std::string ControlText(HWND control) {
  const int length = ::GetWindowTextLengthA(control);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int copied = ::GetWindowTextA(control, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

// The lists first (a sorted combo orders its items itself), then the fields.
void Fill(HWND dialog, const CabrilloForm& form) {
  for (const FormControl& control : CabrilloControls()) {
    if (!IsCombo(control.kind)) continue;
    HWND combo = ::GetDlgItem(dialog, control.id);
    for (const std::string& item : control.items)
      ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  }
  for (const ControlState& pushed : PushForm(form)) {
    HWND control = ::GetDlgItem(dialog, pushed.id);
    if (pushed.state.selected >= 0) {
      const LRESULT index = ::SendMessageA(control, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(pushed.state.text.c_str()));
      ::SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    } else {
      ::SetWindowTextA(control, pushed.state.text.c_str());
    }
  }
}

void Pull(HWND dialog, CabrilloForm& form) {
  PullForm([dialog](int id) { return ControlText(::GetDlgItem(dialog, id)); }, form);
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      ::SetWindowLongPtrA(dialog, DWLP_USER, lparam);
      Fill(dialog, *reinterpret_cast<const CabrilloForm*>(lparam));
      return TRUE;
    case WM_COMMAND:
      // Escape and the close box arrive as IDCANCEL.
      if (LOWORD(wparam) == IDOK) {
        Pull(dialog, *reinterpret_cast<CabrilloForm*>(::GetWindowLongPtrA(dialog, DWLP_USER)));
        ::EndDialog(dialog, kOkId);
        return TRUE;
      }
      if (LOWORD(wparam) == IDCANCEL) {
        ::EndDialog(dialog, kCancelId);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

bool RunCabrilloDialog(CabrilloForm& form) {
  const INT_PTR result =
      ::DialogBoxParamA(ThisModule(), MAKEINTRESOURCEA(IDD_CABRILLO), nullptr, DialogProc,
                        reinterpret_cast<LPARAM>(&form));
  return result == kOkId;
}

}  // namespace velmora
