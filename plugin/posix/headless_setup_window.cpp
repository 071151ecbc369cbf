#include "plugin/posix/headless_setup_window.h"

namespace velmora {

// A handler that throws ends there, as a failed handler of a dialog does; the
// window stays open.
void HeadlessSetupWindow::Open() {
  state_.setup.exists = state_.setup.visible = true;
  ++state_.setup.openings;
  try {
    if (controller_) controller_->Open(*this);
  } catch (...) {
  }
}

void HeadlessSetupWindow::Run() {
  for (bool open = true; open;) {
    SetupMessage message = queue_.Take();
    try {
      open = Handle(message);
    } catch (...) {
    }
    queue_.Finish();
  }
  queue_.Close();
  state_.setup.exists = state_.setup.visible = false;
}

// The tool windows keep their state here, so they go first, however the
// window ended.
HeadlessSetupWindow::~HeadlessSetupWindow() {
  if (controller_) controller_->Closed();
}

void HeadlessSetupWindow::SetTexts(const SetupTexts& texts) {
  state_.setup.title = texts.title;
  state_.view_label = texts.view_label;
  state_.on_top_label = texts.on_top_label;
}

std::unique_ptr<ToolWindow> HeadlessSetupWindow::CreateToolWindow(
    WindowKind kind, const ToolPlacement& placement) {
  if (kind == WindowKind::kSetup) return nullptr;
  return std::make_unique<HeadlessToolWindow>(StateOf(kind), placement);
}

bool HeadlessSetupWindow::Handle(const SetupMessage& message) {
  HeadlessWindowState& window = StateOf(message.kind);
  switch (message.id) {
    case SetupMessageId::kStatusUpdate:
      ++state_.status_refreshes;
      if (controller_) controller_->OnStatusUpdate();
      break;
    case SetupMessageId::kClick:
      Click(message.box);
      break;
    case SetupMessageId::kSetCursor:
      if (window.exists && controller_)
        controller_->OnSetCursor(message.kind, window.position);
      break;
    case SetupMessageId::kMove:
      if (window.exists) window.position = message.point;
      break;
    case SetupMessageId::kDismiss:
      if (message.kind != WindowKind::kSetup) window.visible = false;
      break;
    case SetupMessageId::kCloseTool:
      if (controller_) controller_->CloseToolWindow(message.kind);
      break;
    case SetupMessageId::kInspect:
      if (message.inspect) *message.inspect = state_;
      break;
    case SetupMessageId::kEscape:
    case SetupMessageId::kClose:
      return false;
  }
  return true;
}

// An automatic check box: the click toggles the mark, then the handler runs.
void HeadlessSetupWindow::Click(SetupBox box) {
  SetupChecks& checks = state_.checks;
  switch (box) {
    case SetupBox::kDxcc:
      checks.dxcc = !checks.dxcc;
      if (controller_) controller_->OnDxccClick();
      break;
    case SetupBox::kExtended:
      checks.extended = !checks.extended;
      if (controller_) controller_->OnExtendedClick();
      break;
    case SetupBox::kOnTop:
      checks.on_top = !checks.on_top;
      if (controller_) controller_->OnOnTopClick();
      break;
  }
}

HeadlessWindowState& HeadlessSetupWindow::StateOf(WindowKind kind) {
  switch (kind) {
    case WindowKind::kDxccInfo:
      return state_.dxcc_info;
    case WindowKind::kMultiplier:
      return state_.multiplier;
    case WindowKind::kSetup:
      break;
  }
  return state_.setup;
}

}  // namespace velmora
