#pragma once

#include <mutex>
#include <string>

#include "display/geometry.h"
#include "display/info_button_view.h"
#include "display/dxcc_refresh.h"
#include "display/dxcc_source.h"

namespace velmora {

// The DXCC part of the status refresh, run by the setup controller on the
// setup thread: the band from the frequency, the call view rows in the
// module's BandRows, the window titles, the multiplier boxes and the info
// button. It keeps the current call and band index the info button draws.
class DxccDisplay : public DxccRefresh {
 public:
  explicit DxccDisplay(DxccSource& module) : module_(module) {}

  void TakeCall(const std::string& call) override;
  void Refresh(const std::string& call, double frequency_hz, ToolWindow* info,
               ToolWindow* multiplier) override;

  // What the info button draws now, for a button of `item`'s size.
  InfoButtonInput ButtonInput(const Rect& item) const;
  int band_index() const;

 private:
  DxccSource& module_;
  mutable std::mutex mutex_;  // the info button may be drawn from a window procedure
  std::string current_call_;
  int band_index_ = -1;
};

}  // namespace velmora
