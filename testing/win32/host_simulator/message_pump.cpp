#include "testing/win32/host_simulator/message_pump.h"

#include "platform/win32/windows_api.h"

namespace velmora::testing {

bool PumpMessagesUntil(void* event, unsigned long timeout_ms) {
  const ULONGLONG deadline = ::GetTickCount64() + timeout_ms;
  for (;;) {
    ULONGLONG now = ::GetTickCount64();
    if (now >= deadline) return false;
    DWORD wait = ::MsgWaitForMultipleObjects(1, &event, FALSE,
                                             static_cast<DWORD>(deadline - now),
                                             QS_ALLINPUT);
    if (wait == WAIT_OBJECT_0) return true;
    if (wait != WAIT_OBJECT_0 + 1) return false;
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageA(&message);
    }
  }
}

}  // namespace velmora::testing
