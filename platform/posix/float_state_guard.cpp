#include "platform/float_state_guard.h"

namespace velmora {

// The caller's state stays in force: see the header.
FloatStateGuard::FloatStateGuard() = default;
FloatStateGuard::~FloatStateGuard() = default;

}  // namespace velmora
