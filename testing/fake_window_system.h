#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/window_system.h"
#include "results/cabrillo_form.h"

namespace velmora::testing {

// Records every call; the Cabrillo form runs `edit_form` and returns
// `confirm_form`.
class FakeWindowSystem : public WindowSystem {
 public:
  void ShowMessage(const std::string& text, const std::string& caption,
                   MessageIcon icon) override {
    messages.push_back(text);
    captions.push_back(caption);
    icons.push_back(icon);
  }
  bool RunCabrilloForm(CabrilloForm& form) override {
    ++forms_run;
    shown_form = form;
    if (edit_form) edit_form(form);
    return confirm_form;
  }
  bool SetupWindowExists() override { return setup_open; }
  void StartSetupThread() override {
    ++setup_starts;
    setup_open = true;
  }
  void PostStatusUpdate() override { ++status_updates; }
  void ShutdownWindows() override { setup_open = false; }

  std::vector<std::string> messages, captions;
  std::vector<MessageIcon> icons;
  CabrilloForm shown_form;
  std::function<void(CabrilloForm&)> edit_form;
  bool confirm_form = true;
  int forms_run = 0;
  bool setup_open = false;
  int setup_starts = 0;
  int status_updates = 0;
};

}  // namespace velmora::testing
