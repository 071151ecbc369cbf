#include "display/dxcc_display.h"

#include "display/status_refresh.h"

namespace velmora {

void DxccDisplay::TakeCall(const std::string& call) {
  std::lock_guard lock(mutex_);
  current_call_ = call;
}

void DxccDisplay::Refresh(const std::string& call, double frequency_hz, ToolWindow* info,
                          ToolWindow* multiplier) {
  RefreshView view = ComputeRefresh(TakeRefreshInput(module_, call, frequency_hz, band_index()));
  {
    std::lock_guard lock(mutex_);
    current_call_ = view.current_call;
    band_index_ = view.band_index;
  }
  if (view.call_rows)
    module_.UpdateLists([&](BandLists& lists) { StoreCallRows(*view.call_rows, lists); });
  if (info && view.info_title) info->ShowTitle(*view.info_title);
  if (multiplier && view.multiplier_title) multiplier->ShowTitle(*view.multiplier_title);
  if (multiplier && view.page_states) multiplier->ShowPageStates(*view.page_states);
  if (info && view.repaint_info_button) info->RepaintInfoButton();
}

InfoButtonInput DxccDisplay::ButtonInput(const Rect& item) const {
  InfoButtonInput input;
  {
    std::lock_guard lock(mutex_);
    input.current_call = current_call_;
    input.band_index = band_index_;
  }
  input.lists = module_.ListsCopy();
  input.item = item;
  return input;
}

int DxccDisplay::band_index() const {
  std::lock_guard lock(mutex_);
  return band_index_;
}

}  // namespace velmora
