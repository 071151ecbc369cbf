#include "testing/win32/host_simulator/process_resources.h"

#include "platform/win32/windows_api.h"

#include <psapi.h>

#include "testing/win32/host_simulator/process_threads.h"

namespace velmora::testing {

namespace {

// The slots of Wine's GDI and USER handle tables. Wine resolves a handle
// whose upper word is zero by its slot alone, whatever the slot's
// generation, so probing every slot finds every object in use. Windows
// does not, which is why these counts are only the fallback.
constexpr unsigned kGdiSlots = 0x10000;
constexpr UINT_PTR kFirstUserHandle = 0x0020;
constexpr UINT_PTR kLastUserHandle = 0xffef;
// Kernel handles are multiples of 4; Wine gives out the lowest free one, so
// a process that is not leaking keeps far below this.
constexpr UINT_PTR kProbedKernelHandles = 8192;

long ProbeGdiObjects() {
  long count = 0;
  for (UINT_PTR slot = 1; slot < kGdiSlots; ++slot)
    if (::GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0) ++count;
  return count;
}

struct WindowCount {
  DWORD process;
  long windows = 0;
};

BOOL CALLBACK CountChild(HWND, LPARAM lparam) {
  ++reinterpret_cast<WindowCount*>(lparam)->windows;
  return TRUE;
}

bool IsOurs(HWND window, DWORD process) {
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  return owner == process;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM lparam) {
  auto* count = reinterpret_cast<WindowCount*>(lparam);
  if (!IsOurs(window, count->process)) return TRUE;
  ++count->windows;
  ::EnumChildWindows(window, &CountChild, lparam);  // every descendant
  return TRUE;
}

// Top-level windows of every thread of this process, their descendants, and
// message-only windows.
long CountWindows() {
  WindowCount count{::GetCurrentProcessId()};
  ::EnumWindows(&CountTopLevel, reinterpret_cast<LPARAM>(&count));
  for (HWND window = ::FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); window;
       window = ::FindWindowExA(HWND_MESSAGE, window, nullptr, nullptr)) {
    if (!IsOurs(window, count.process)) continue;
    ++count.windows;
    ::EnumChildWindows(window, &CountChild, reinterpret_cast<LPARAM>(&count));
  }
  return count.windows;
}

// Menus and cursors or icons, by slot. Both lookups stay inside the process
// (Wine keeps these objects with their process), so the probe is quick.
long ProbeMenusAndIcons() {
  using FrameInfo = HCURSOR(WINAPI*)(HCURSOR, DWORD, DWORD, DWORD*, DWORD*);
  const auto frame_info = reinterpret_cast<FrameInfo>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleA("user32.dll"), "GetCursorFrameInfo")));
  long count = 0;
  for (UINT_PTR handle = kFirstUserHandle; handle <= kLastUserHandle; handle += 2) {
    if (::IsMenu(reinterpret_cast<HMENU>(handle))) ++count;
    DWORD rate = 0, steps = 0;
    if (frame_info && frame_info(reinterpret_cast<HCURSOR>(handle), 0, 0, &rate, &steps))
      ++count;
  }
  return count;
}

long ProbeKernelHandles() {
  long count = 0;
  DWORD flags = 0;
  for (UINT_PTR handle = 4; handle <= 4 * kProbedKernelHandles; handle += 4)
    if (::GetHandleInformation(reinterpret_cast<HANDLE>(handle), &flags)) ++count;
  return count;
}

long SystemGdiCount() { return ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS); }
long SystemUserCount() { return ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS); }

long SystemHandleCount() {
  DWORD count = 0;
  return ::GetProcessHandleCount(::GetCurrentProcess(), &count) ? static_cast<long>(count) : 0;
}

// Wine leaves PrivateUsage at 0; PagefileUsage is the commit charge, which
// is the private bytes on Windows too.
std::size_t PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  if (!::GetProcessMemoryInfo(::GetCurrentProcess(),
                              reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof counters))
    return 0;
  return counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
}

}  // namespace

ProcessResources ReadProcessResources() {
  ProcessResources now;
  now.gdi_objects = SystemGdiCount();
  if (now.gdi_objects == 0) now.gdi_objects = ProbeGdiObjects();
  now.user_objects = SystemUserCount();
  if (now.user_objects == 0) now.user_objects = CountWindows() + ProbeMenusAndIcons();
  now.kernel_handles = SystemHandleCount();
  if (now.kernel_handles == 0) now.kernel_handles = ProbeKernelHandles();
  now.private_bytes = PrivateBytes();
  now.threads = CountProcessThreads();
  return now;
}

std::string CountingMethods() {
  std::string methods;
  methods += SystemGdiCount() != 0 ? "GDI: GetGuiResources; "
                                   : "GDI: GetObjectType on every GDI handle slot; ";
  methods += SystemUserCount() != 0
                 ? "USER: GetGuiResources; "
                 : "USER: windows of the process + IsMenu/GetCursorFrameInfo on every "
                   "USER handle slot; ";
  methods += SystemHandleCount() != 0 ? "handles: GetProcessHandleCount; "
                                      : "handles: GetHandleInformation on handle values; ";
  methods += "private bytes: GetProcessMemoryInfo; threads: Toolhelp snapshot";
  return methods;
}

}  // namespace velmora::testing
