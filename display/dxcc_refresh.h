#pragma once

#include <string>

#include "display/tool_window.h"

namespace velmora {

// The DXCC part of the status refresh (band, call rows, titles, ticks), run
// once the host has given the call and the frequency and the "<SP1>"
// decision is made. While the call has one or two characters only TakeCall
// runs. Setup thread only; a tool window that is not open is passed as
// nullptr.
class DxccRefresh {
 public:
  virtual ~DxccRefresh() = default;

  // The call being typed becomes the current call; nothing is redrawn.
  virtual void TakeCall(const std::string& call) = 0;
  virtual void Refresh(const std::string& call, double frequency_hz, ToolWindow* info,
                       ToolWindow* multiplier) = 0;
};

}  // namespace velmora
