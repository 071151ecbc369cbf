#pragma once

#include <string>

#include "setup/tool_window.h"

namespace velmora {

// The DXCC part of the status refresh (band, call rows, titles, ticks), run
// once the host has given the call and the frequency and the "<SP1>"
// decision is made. Not run while the call has one or two characters. Setup
// thread only; a tool window that is not open is passed as nullptr.
class DxccRefresh {
 public:
  virtual ~DxccRefresh() = default;

  virtual void Refresh(const std::string& call, double frequency_hz, ToolWindow* info,
                       ToolWindow* multiplier) = 0;
};

}  // namespace velmora
