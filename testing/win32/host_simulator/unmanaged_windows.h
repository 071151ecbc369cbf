#pragma once

#include <gtest/gtest.h>

#include "platform/win32/windows_api.h"

namespace velmora::testing {

// There is no window manager on the virtual display, but Wine lets one manage
// captioned windows and, at each hiding, waits two seconds for it to answer.
// Windows that Wine places itself behave as on Windows. Register it as a
// global test environment: it must be set before the first window of the
// program loads the display driver, which reads it.
class UnmanagedWindows : public ::testing::Environment {
 public:
  void SetUp() override {
    const char managed[] = "N";
    ASSERT_EQ(::RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Wine\\X11 Driver", "Managed",
                                REG_SZ, managed, sizeof(managed)),
              ERROR_SUCCESS);
  }
};

}  // namespace velmora::testing
