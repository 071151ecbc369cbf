#include "setup/win32/modeless_dialog_keys.h"

namespace velmora {

namespace {

// The class atom of dialog boxes ("#32770").
constexpr ATOM kDialogClass = 32770;

// IsDialogMessage runs the same filter again; the inner run passes.
thread_local bool filtering = false;

// The top-level dialog of this thread that `window` belongs to; nullptr when
// there is none.
HWND DialogOf(HWND window) {
  if (!window) return nullptr;
  HWND root = ::GetAncestor(window, GA_ROOT);
  if (!root) return nullptr;
  if (::GetClassLongPtrA(root, GCW_ATOM) != kDialogClass) return nullptr;
  if (::GetWindowThreadProcessId(root, nullptr) != ::GetCurrentThreadId()) return nullptr;
  return root;
}

}  // namespace

ModelessDialogKeys::ModelessDialogKeys()
    : hook_(::SetWindowsHookExA(WH_MSGFILTER, &Filter, nullptr, ::GetCurrentThreadId())) {}

ModelessDialogKeys::~ModelessDialogKeys() {
  if (hook_) ::UnhookWindowsHookEx(hook_);
}

LRESULT CALLBACK ModelessDialogKeys::Filter(int code, WPARAM wparam, LPARAM lparam) {
  if (code == MSGF_DIALOGBOX && !filtering) {
    // The modal dialog's own messages are handled here too, once: the loop
    // skips a message that the filter took.
    auto* message = reinterpret_cast<MSG*>(lparam);
    if (HWND dialog = DialogOf(message->hwnd)) {
      filtering = true;
      const BOOL handled = ::IsDialogMessageA(dialog, message);
      filtering = false;
      if (handled) return TRUE;
    }
  }
  return ::CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace velmora
