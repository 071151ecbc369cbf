#pragma once

#include <memory>

#include "setup/setup_view.h"
#include "setup/window_position.h"

namespace velmora {

struct HeadlessSetupState;

// The messages of the headless setup thread: the status-update message with
// its platform number, and stand-ins for what the operator and the window
// shutdown do to the windows.
enum class SetupMessageId {
  kStatusUpdate = 1524,  // the first user message number + 500
  kClick,                // `box` clicked
  kSetCursor,            // the pointer is over window `kind`
  kMove,                 // the operator moved window `kind` to `point`
  kDismiss,              // the operator hid tool window `kind`
  kEscape,               // Escape in the setup window: the dialog ends
  kCloseTool,            // close request for tool window `kind`
  kClose,                // close request for the setup window
  kInspect,              // copy the windows' state into `inspect`
};

struct SetupMessage {
  SetupMessage(SetupMessageId id) : id(id) {}
  SetupMessage(SetupMessageId id, SetupBox box) : id(id), box(box) {}
  SetupMessage(SetupMessageId id, WindowKind kind, WindowPoint point = {})
      : id(id), kind(kind), point(point) {}

  SetupMessageId id;
  SetupBox box = SetupBox::kDxcc;
  WindowKind kind = WindowKind::kSetup;
  WindowPoint point;
  std::shared_ptr<HeadlessSetupState> inspect;
};

}  // namespace velmora
