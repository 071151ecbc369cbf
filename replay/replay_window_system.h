#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/window_system.h"

namespace velmora::replay {

// The windows of a replay: message boxes go to stderr, the Cabrillo form is
// "typed into" with the header values of the command line and confirmed, and
// there is no setup window.
class ReplayWindowSystem : public WindowSystem {
 public:
  void ShowMessage(const std::string& text, const std::string& caption,
                   MessageIcon icon) override;
  bool RunCabrilloForm(CabrilloForm& form) override;
  bool SetupWindowExists() override { return false; }
  void StartSetupThread() override {}
  void PostStatusUpdate() override {}
  void ShutdownWindows() override {}

  void set_header(std::vector<std::pair<std::string, std::string>> header) {
    header_ = std::move(header);
  }
  const std::vector<std::string>& messages() const { return messages_; }

 private:
  std::vector<std::pair<std::string, std::string>> header_;
  std::vector<std::string> messages_;
};

ReplayWindowSystem& TheReplayWindows();

}  // namespace velmora::replay
