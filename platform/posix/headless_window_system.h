#pragma once

#include <string>
#include <vector>

#include "platform/window_system.h"

namespace velmora {

// Stands in for the windows where there is no screen: messages are recorded,
// the Cabrillo form is confirmed unchanged, and a started setup window counts
// as open until the windows are shut down.
class HeadlessWindowSystem : public WindowSystem {
 public:
  void ShowMessage(const std::string& text, const std::string& caption,
                   MessageIcon icon) override;
  bool RunCabrilloForm(CabrilloForm& form) override;
  bool SetupWindowExists() override { return setup_open_; }
  void StartSetupThread() override;
  void PostStatusUpdate() override { ++status_updates_; }
  void ShutdownWindows() override { setup_open_ = false; }

  const std::vector<std::string>& messages() const { return messages_; }
  int setup_starts() const { return setup_starts_; }
  int status_updates() const { return status_updates_; }

 private:
  std::vector<std::string> messages_;
  bool setup_open_ = false;
  int setup_starts_ = 0;
  int status_updates_ = 0;
};

}  // namespace velmora
