#include "plugin/posix/headless_window_system.h"

#include <system_error>
#include <utility>

namespace velmora {

namespace {

constexpr std::chrono::milliseconds kPollStep{20};

SetupQueue::Clock::time_point Deadline() {
  return SetupQueue::Clock::now() + HeadlessWindowSystem::kShutdownBound;
}

}  // namespace

HeadlessWindowSystem::~HeadlessWindowSystem() { ShutdownWindows(); }

void HeadlessWindowSystem::ShowMessage(const std::string& text, const std::string&,
                                       MessageIcon) {
  messages_.push_back(text);
}

bool HeadlessWindowSystem::RunCabrilloForm(CabrilloForm&) { return true; }

bool HeadlessWindowSystem::SetupWindowExists() { return Window() != nullptr; }

void HeadlessWindowSystem::StartSetupThread() {
  // A window still open is shut down first; an ended thread is joined.
  ShutdownWindows();
  auto queue = std::make_shared<SetupQueue>();
  auto ended = std::make_shared<std::atomic<bool>>(false);
  std::promise<void> started;
  std::future<void> opened = started.get_future();
  try {
    thread_ = std::thread(&HeadlessWindowSystem::RunSetupThread, this, queue,
                          std::move(started), ended);
  } catch (const std::system_error&) {
    return;  // no thread, so no setup window
  }
  thread_ended_ = std::move(ended);
  ++setup_starts_;
  // Once this returns the window is open, so the next reset sees it.
  opened.wait_for(kShutdownBound);
}

void HeadlessWindowSystem::PostStatusUpdate() {
  std::shared_ptr<SetupQueue> window = Window();
  if (window && window->Post(SetupMessageId::kStatusUpdate)) ++status_updates_;
}

void HeadlessWindowSystem::ShutdownWindows() {
  const auto deadline = Deadline();
  if (std::shared_ptr<SetupQueue> window = Window()) {
    for (WindowKind kind : kToolWindowsClosedFirst)
      window->Send({SetupMessageId::kCloseTool, kind}, deadline);
    window->Send(SetupMessageId::kClose, deadline);
  }
  WaitForSetupEnd(deadline);
  ReleaseThread();
}

void HeadlessWindowSystem::BindSetupController(SetupController* controller) {
  std::lock_guard lock(mutex_);
  controller_ = controller;
}

bool HeadlessWindowSystem::Click(SetupBox box) {
  return Send({SetupMessageId::kClick, box}, Deadline());
}

bool HeadlessWindowSystem::MoveWindow(WindowKind kind, WindowPoint to) {
  return Send({SetupMessageId::kMove, kind, to}, Deadline());
}

bool HeadlessWindowSystem::PointerOver(WindowKind kind) {
  return Send({SetupMessageId::kSetCursor, kind}, Deadline());
}

bool HeadlessWindowSystem::Dismiss(WindowKind kind) {
  return Send({SetupMessageId::kDismiss, kind}, Deadline());
}

bool HeadlessWindowSystem::PressEscape() {
  const auto deadline = Deadline();
  if (!Send(SetupMessageId::kEscape, deadline)) return false;
  WaitForSetupEnd(deadline);
  ReleaseThread();
  return true;
}

std::optional<HeadlessSetupState> HeadlessWindowSystem::Inspect() {
  SetupMessage inspect(SetupMessageId::kInspect);
  auto state = inspect.inspect = std::make_shared<HeadlessSetupState>();
  if (!Send(std::move(inspect), Deadline())) return std::nullopt;
  return *state;
}

// The setup thread: it records its window unless one exists, opens it, lets
// the starter go on, runs the window until it is closed, and clears the
// record at its end.
void HeadlessWindowSystem::RunSetupThread(std::shared_ptr<SetupQueue> queue,
                                          std::promise<void> started,
                                          std::shared_ptr<std::atomic<bool>> ended) {
  SetupController* controller = nullptr;
  bool recorded = false;
  {
    std::lock_guard lock(mutex_);
    if (!window_) {
      window_ = queue;
      controller = controller_;
      recorded = true;
    }
  }
  if (recorded) {
    try {
      HeadlessSetupWindow window(*queue, controller);
      window.Open();
      started.set_value();
      window.Run();
    } catch (...) {
      queue->Close();
    }
    std::lock_guard lock(mutex_);
    window_.reset();
  } else {
    started.set_value();
  }
  *ended = true;
}

std::shared_ptr<SetupQueue> HeadlessWindowSystem::Window() {
  std::lock_guard lock(mutex_);
  return window_;
}

bool HeadlessWindowSystem::Send(SetupMessage message,
                                SetupQueue::Clock::time_point deadline) {
  std::shared_ptr<SetupQueue> window = Window();
  return window && window->Send(std::move(message), deadline);
}

// Polls until the setup thread has ended, at most until `deadline`. Nothing
// stops a thread from outside here, so its end is also the end of its window,
// whose record it clears just before.
void HeadlessWindowSystem::WaitForSetupEnd(SetupQueue::Clock::time_point deadline) {
  while (thread_ended_ && !*thread_ended_ && SetupQueue::Clock::now() < deadline)
    std::this_thread::sleep_for(kPollStep);
}

// Joins a setup thread that has ended. One still busy after the bounded wait
// is let go, so the host's thread never hangs here.
void HeadlessWindowSystem::ReleaseThread() {
  if (!thread_.joinable()) return;
  if (thread_ended_ && *thread_ended_)
    thread_.join();
  else
    thread_.detach();
  thread_ended_.reset();
}

}  // namespace velmora
