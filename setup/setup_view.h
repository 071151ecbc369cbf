#pragma once

#include <memory>

#include "display/tool_window.h"
#include "display/window_point.h"
#include "setup/setup_texts.h"

namespace velmora {

// The setup window's three check boxes.
enum class SetupBox { kDxcc, kExtended, kOnTop };

struct SetupChecks {
  bool dxcc = false;
  bool extended = false;
  bool on_top = false;
  friend bool operator==(const SetupChecks&, const SetupChecks&) = default;
};

// The setup window as its controller sees it, and the door to the tool
// windows it opens. Setup thread only.
class SetupView {
 public:
  virtual ~SetupView() = default;

  virtual void SetTexts(const SetupTexts& texts) = 0;
  virtual void SetChecks(const SetupChecks& checks) = 0;
  // Position only: size and stacking order stay.
  virtual void MoveTo(WindowPoint position) = 0;
  // Topmost, without moving, sizing or activating the window.
  virtual void MakeTopmost() = 0;
  // Posts the status-update message to this window.
  virtual void PostStatusUpdate() = 0;
  // A new tool window of `kind` (kDxccInfo or kMultiplier), not shown yet;
  // nullptr when it cannot be created.
  virtual std::unique_ptr<ToolWindow> CreateToolWindow(
      WindowKind kind, const ToolPlacement& placement) = 0;
};

}  // namespace velmora
