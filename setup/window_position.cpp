#include "setup/window_position.h"

namespace velmora {

namespace {

struct PositionKeys {
  const char* x;
  const char* y;
  int default_y;
};

PositionKeys KeysOf(WindowKind kind) {
  switch (kind) {
    case WindowKind::kSetup:
      return {"Setup_x", "Setup_y", 10};
    case WindowKind::kDxccInfo:
      return {"dxcc_x", "dxcc_y", 400};
    case WindowKind::kMultiplier:
      break;
  }
  return {"dxcc_extended_x", "dxcc_extended_y", 400};
}

}  // namespace

WindowPoint WindowPositions::Opening(WindowKind kind) {
  const PositionKeys keys = KeysOf(kind);
  WindowPoint at{settings_.ReadNumber(keys.x), settings_.ReadNumber(keys.y)};
  if (at.x == 0) at.x = 10;
  if (at.y == 0) at.y = keys.default_y;
  last_ = at;
  return at;
}

void WindowPositions::Track(WindowKind kind, WindowPoint current) {
  const PositionKeys keys = KeysOf(kind);
  if (current.x != last_.x) {
    last_.x = current.x;
    settings_.WriteNumber(keys.x, current.x);
  }
  if (current.y != last_.y) {
    last_.y = current.y;
    settings_.WriteNumber(keys.y, current.y);
  }
}

}  // namespace velmora
