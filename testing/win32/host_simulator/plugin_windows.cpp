#include "testing/win32/host_simulator/plugin_windows.h"

#include <filesystem>
#include <vector>

#include "display/dxcc_table.h"
#include "engine/text_format.h"
#include "resources/resource_ids.h"

namespace velmora::testing {

namespace {

int ControlOf(PluginWindow which) {
  switch (which) {
    case PluginWindow::kSetup:
      return IDC_SETUP_VIEW_LABEL;
    case PluginWindow::kDxccInfo:
      return IDC_INFO_BUTTON;
    case PluginWindow::kMultiplier:
      return IDC_MULTIPLIER_TABS;
  }
  return 0;
}

struct Search {
  int control;
  HWND found = nullptr;
};

BOOL CALLBACK Visit(HWND window, LPARAM lparam) {
  auto* search = reinterpret_cast<Search*>(lparam);
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  char name[16] = "";
  ::GetClassNameA(window, name, sizeof(name));
  if (process != ::GetCurrentProcessId() || std::string(name) != "#32770") return TRUE;
  if (!::GetDlgItem(window, search->control)) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

HWND FindPluginWindow(PluginWindow which) {
  Search search{ControlOf(which)};
  ::EnumWindows(&Visit, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string TitleOf(HWND window) {
  char text[256] = "";
  int n = ::GetWindowTextA(window, text, sizeof(text));
  return std::string(text, static_cast<std::size_t>(n > 0 ? n : 0));
}

HWND FindContinentPage(HWND multiplier, int index) {
  const EntityBox& first = ContinentPages()[static_cast<std::size_t>(index)].boxes[0];
  for (HWND child = ::GetWindow(multiplier, GW_CHILD); child;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    HWND box = ::GetDlgItem(child, first.control_id);
    if (box && TitleOf(box) == first.label) return child;
  }
  return nullptr;
}

bool PumpUntil(const std::function<bool()>& done, unsigned long timeout_ms) {
  const ULONGLONG deadline = ::GetTickCount64() + timeout_ms;
  for (;;) {
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageA(&message);
    }
    if (done()) return true;
    if (::GetTickCount64() >= deadline) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void PumpFor(unsigned long ms) {
  PumpUntil([] { return false; }, ms);
}

bool SaveScreenshot(HWND window, const std::string& unix_path) {
  RECT r{};
  if (!::GetWindowRect(window, &r)) return false;
  // Written under another name and renamed: the file appears whole.
  const std::string script = StrFormat(
      "xwd -root -silent | convert xwd:- -crop %ldx%ld+%ld+%ld +repage '%s.part.png' && "
      "mv '%s.part.png' '%s'",
      r.right - r.left, r.bottom - r.top, r.left, r.top, unix_path.c_str(), unix_path.c_str(),
      unix_path.c_str());
  std::string command = "Z:\\bin\\sh -c \"" + script + "\"";
  const std::string windows_path = "Z:" + unix_path;
  std::filesystem::remove(windows_path);
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
    return false;
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  // Wine does not signal the end of a Unix process: the file tells. The
  // windows keep painting meanwhile.
  return PumpUntil([&] { return std::filesystem::exists(windows_path); }, 30000);
}

}  // namespace velmora::testing
