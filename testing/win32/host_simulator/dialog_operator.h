#pragma once

#include <atomic>
#include <chrono>
#include <string>
#include <string_view>
#include <vector>

struct HWND__;

namespace velmora::testing {

// What a test thread needs to play the operator at the dialogs that another
// thread of this process runs modally.

// The visible dialog of `thread_id` whose title is `caption`, once it shows;
// nullptr when `timeout` passes first or `stop` becomes true.
HWND__* WaitForDialog(unsigned long thread_id, std::string_view caption,
                      std::chrono::milliseconds timeout,
                      const std::atomic<bool>* stop = nullptr);

std::string WindowText(HWND__* window);
std::string ItemText(HWND__* dialog, int id);
// A combo box's list, in the order it shows it.
std::vector<std::string> ComboItems(HWND__* combo);

}  // namespace velmora::testing
