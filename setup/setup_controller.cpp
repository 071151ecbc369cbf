#include "setup/setup_controller.h"

#include <cmath>

#include "setup/module.h"

namespace velmora {

namespace {

// The host is told to move its spot marker once the frequency has moved by
// more than this.
constexpr double kSpotStepHz = 300.0;

// What the host answers as its frequency, as a number the steps can be
// measured on: no number, or one beyond any radio's (a terahertz), is none.
double SaneFrequency(double hz) {
  constexpr double kBeyondAnyRadioHz = 1e12;
  return std::isfinite(hz) && std::fabs(hz) <= kBeyondAnyRadioHz ? hz : 0.0;
}

}  // namespace

SetupController::SetupController(Module& module, Settings& settings, HostLink& host)
    : module_(module), settings_(settings), host_(host), positions_(settings) {}

void SetupController::Open(SetupView& view) {
  view_ = &view;
  const WindowPoint at = positions_.Opening(WindowKind::kSetup);
  multiplier_.option = settings_.ReadNumber(multiplier_.key) != 0;
  info_.option = settings_.ReadNumber(info_.key) != 0;
  on_top_ = false;
  view.MoveTo(at);
  view.MakeTopmost();
  AttachHost();
  view.SetTexts(MakeSetupTexts(module_.russian_texts(), module_.StationCopy().StartYear));
  PushChecks();
  // The tool windows whose options are on open with this first refresh.
  view.PostStatusUpdate();
}

void SetupController::OnDxccClick() { Toggle(info_); }

void SetupController::OnExtendedClick() { Toggle(multiplier_); }

void SetupController::OnOnTopClick() {
  if (!view_) return;
  on_top_ = !on_top_;
  settings_.WriteFlag("setup_window_on_top", on_top_);
  // The refresh reopens the windows whose options are on, with the new flag.
  info_.window.reset();
  multiplier_.window.reset();
  PushChecks();
  RequestRefresh();
}

void SetupController::OnSetCursor(WindowKind kind, WindowPoint current) {
  positions_.Track(kind, current);
}

void SetupController::OnStatusUpdate() {
  if (view_) {
    Reconcile(info_);
    Reconcile(multiplier_);
    AskHost();
  }
  module_.SetUpdateReady();
}

void SetupController::CloseToolWindow(WindowKind kind) {
  if (kind != WindowKind::kSetup) ToolOf(kind).window.reset();
}

void SetupController::Closed() {
  info_.window.reset();
  multiplier_.window.reset();
  host_.Drop();
  view_ = nullptr;
}

ToolWindow* SetupController::tool_window(WindowKind kind) {
  return kind == WindowKind::kSetup ? nullptr : ToolOf(kind).window.get();
}

SetupController::Tool& SetupController::ToolOf(WindowKind kind) {
  return kind == WindowKind::kDxccInfo ? info_ : multiplier_;
}

void SetupController::Toggle(Tool& tool) {
  if (!view_) return;
  if (tool.window) {
    tool.window.reset();
    tool.option = false;
  } else {
    tool.window = CreateShown(tool.kind);
    tool.option = true;
  }
  settings_.WriteFlag(tool.key, tool.option);
  PushChecks();
  RequestRefresh();
}

// A window that the operator dismissed, or that could not be created, turns
// its option off; the refresh never shows a hidden window again.
void SetupController::Reconcile(Tool& tool) {
  if (!tool.option) return;
  if (!tool.window) tool.window = CreateShown(tool.kind);
  if (tool.window && tool.window->IsVisible()) return;
  tool.window.reset();
  tool.option = false;
  settings_.WriteFlag(tool.key, false);
  PushChecks();
}

// Both tool windows open topmost while the on-top option is set.
std::unique_ptr<ToolWindow> SetupController::CreateShown(WindowKind kind) {
  const ToolPlacement placement{positions_.Opening(kind), on_top_};
  std::unique_ptr<ToolWindow> window = view_->CreateToolWindow(kind, placement);
  if (window) window->Show();
  return window;
}

// Looks the host up and greets it; a host that was restarted needs the
// greeting again.
void SetupController::AttachHost() {
  last_attach_ = std::chrono::steady_clock::now();
  host_.Attach();
  if (!host_.IsAttached()) return;
  if (!host_.SendMacro("<MODE:CW>") || !host_.SendMacro("<BAUDRATE:27>")) HostFailed();
}

bool SetupController::ReattachDue() const {
  return std::chrono::steady_clock::now() - last_attach_ >= reattach_pause_;
}

void SetupController::AskHost() {
  if (!host_.IsAttached() && ReattachDue()) AttachHost();
  if (!host_.IsAttached()) return;
  std::optional<std::string> call = host_.EntryText();
  if (!call) {
    HostFailed();
    return;
  }
  current_call_ = std::move(*call);
  // One or two characters: the operator is still typing; only the call the
  // info button draws from changes.
  if (current_call_.size() == 1 || current_call_.size() == 2) {
    if (dxcc_refresh_) dxcc_refresh_->TakeCall(current_call_);
    return;
  }
  std::optional<double> hz = host_.Frequency();
  if (!hz) {
    HostFailed();
    return;
  }
  *hz = SaneFrequency(*hz);
  if (std::fabs(*hz - last_signalled_hz_) > kSpotStepHz) {
    if (!host_.SendMacro("<SP1>")) {
      HostFailed();
      return;
    }
    last_signalled_hz_ = *hz;
  }
  if (dxcc_refresh_)
    dxcc_refresh_->Refresh(current_call_, *hz, info_.window.get(),
                           multiplier_.window.get());
}

// A failing host call (host busy, restarted or gone) ends the step quietly,
// without a message box in the middle of a QSO. The reference is released;
// a later refresh looks the host up again once the pause has passed, and the
// call check may post again.
void SetupController::HostFailed() {
  host_.Drop();
  last_attach_ = std::chrono::steady_clock::now();
  module_.SetUpdateReady();
}

void SetupController::PushChecks() {
  if (view_) view_->SetChecks({info_.option, multiplier_.option, on_top_});
}

void SetupController::RequestRefresh() {
  module_.SetUpdateReady();
  view_->PostStatusUpdate();
}

}  // namespace velmora
