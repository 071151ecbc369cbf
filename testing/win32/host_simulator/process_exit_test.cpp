// A host that ends its process while the setup window is open: the plug-in
// must neither hang nor crash the exit. The test runs itself again as that
// host, in a child process.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "testing/win32/host_simulator/velmora_library.h"
#include "platform/win32/temp_folder.h"
#include "platform/win32/windows_api.h"

namespace velmora::testing {
namespace {

constexpr char kChildVariable[] = "VELMORA_EXITING_HOST";
constexpr UINT kChildExitCode = 7;

// In the child, in the parent's folder: opens the setup window, then ends the
// process at once.
TEST(ProcessExitTest, ChildEndsItsProcessWithTheSetupWindowOpen) {
  if (!std::getenv(kChildVariable)) GTEST_SKIP() << "runs as the child of the test below";
  VelmoraLibrary library;
  ASSERT_TRUE(library.loaded());
  RunScenario("reset - 0 DL1ABC 2017-06-03 12:00 2017-06-04 11:59 DL EU\n", library.plain());
  ::ExitProcess(kChildExitCode);
}

TEST(ProcessExitTest, EndingTheProcessWithTheSetupWindowOpenIsPromptAndClean) {
  TempFolder folder;
  std::filesystem::create_directory("Plugins");
  char self[MAX_PATH] = "";
  ASSERT_GT(::GetModuleFileNameA(nullptr, self, sizeof(self)), 0u);
  std::string command = std::string("\"") + self +
                        "\" --gtest_filter=ProcessExitTest.ChildEndsItsProcessWithTheSetupWindowOpen";
  ASSERT_TRUE(::SetEnvironmentVariableA(kChildVariable, "1"));
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION child{};
  const BOOL started = ::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0,
                                        nullptr, nullptr, &startup, &child);
  ::SetEnvironmentVariableA(kChildVariable, nullptr);
  ASSERT_TRUE(started) << "CreateProcess error " << ::GetLastError();
  const DWORD waited = ::WaitForSingleObject(child.hProcess, 30000);
  DWORD exit_code = 0;
  ::GetExitCodeProcess(child.hProcess, &exit_code);
  if (waited != WAIT_OBJECT_0) ::TerminateProcess(child.hProcess, 1);
  ::CloseHandle(child.hThread);
  ::CloseHandle(child.hProcess);
  EXPECT_EQ(waited, WAIT_OBJECT_0) << "the child did not end";
  EXPECT_EQ(exit_code, kChildExitCode);
  // The reset ran: the settings file is there, whole.
  EXPECT_TRUE(std::filesystem::exists(folder.path() / "Plugins" / "Velmora.ini"));
}

}  // namespace
}  // namespace velmora::testing
