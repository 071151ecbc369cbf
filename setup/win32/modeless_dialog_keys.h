#pragma once

#include "platform/win32/windows_api.h"

namespace velmora {

// The setup thread's tool windows are modeless dialogs inside the setup
// dialog's modal loop, which runs the dialog keys (Tab, Enter, Escape,
// arrows) of the modal dialog only. While an object of this class lives, the
// loop's message filter gives every other dialog of the thread its own dialog
// keys. One per thread; on that thread only.
class ModelessDialogKeys {
 public:
  ModelessDialogKeys();
  ~ModelessDialogKeys();
  ModelessDialogKeys(const ModelessDialogKeys&) = delete;
  ModelessDialogKeys& operator=(const ModelessDialogKeys&) = delete;

 private:
  static LRESULT CALLBACK Filter(int code, WPARAM wparam, LPARAM lparam);

  HHOOK hook_;
};

}  // namespace velmora
