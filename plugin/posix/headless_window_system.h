#pragma once

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "plugin/posix/headless_setup_window.h"
#include "plugin/posix/setup_queue.h"
#include "plugin/setup_shutdown.h"
#include "platform/window_system.h"

namespace velmora {

// Stands in for the windows where there is no screen: messages are recorded,
// the Cabrillo form is confirmed unchanged, and the setup window runs on a
// real setup thread of its own, with headless windows that keep what a real
// window would show. The host's thread calls every method; only the setup
// thread touches the windows.
class HeadlessWindowSystem : public WindowSystem {
 public:
  static constexpr std::chrono::seconds kShutdownBound = kSetupShutdownBound;

  HeadlessWindowSystem() = default;
  ~HeadlessWindowSystem() override;
  HeadlessWindowSystem(const HeadlessWindowSystem&) = delete;
  HeadlessWindowSystem& operator=(const HeadlessWindowSystem&) = delete;

  void ShowMessage(const std::string& text, const std::string& caption,
                   MessageIcon icon) override;
  bool RunCabrilloForm(CabrilloForm& form) override;
  bool SetupWindowExists() override;
  void StartSetupThread() override;
  void PostStatusUpdate() override;
  void ShutdownWindows() override;
  void BindSetupController(SetupController* controller) override;

  // What the operator does, handled on the setup thread; each returns once it
  // has been handled, false when there is no setup window.
  bool Click(SetupBox box);
  bool MoveWindow(WindowKind kind, WindowPoint to);
  bool PointerOver(WindowKind kind);
  bool Dismiss(WindowKind kind);
  // Escape in the setup window; returns once the setup thread has ended.
  bool PressEscape();
  // The windows as the setup thread sees them, after every message before.
  std::optional<HeadlessSetupState> Inspect();

  const std::vector<std::string>& messages() const { return messages_; }
  int setup_starts() const { return setup_starts_; }
  int status_updates() const { return status_updates_; }

 private:
  void RunSetupThread(std::shared_ptr<SetupQueue> queue, std::promise<void> started,
                      std::shared_ptr<std::atomic<bool>> ended);
  std::shared_ptr<SetupQueue> Window();
  bool Send(SetupMessage message, SetupQueue::Clock::time_point deadline);
  void WaitForSetupEnd(SetupQueue::Clock::time_point deadline);
  void ReleaseThread();

  std::mutex mutex_;
  std::shared_ptr<SetupQueue> window_;     // the setup window; guarded by mutex_
  SetupController* controller_ = nullptr;  // guarded by mutex_
  std::thread thread_;                     // host's thread only
  std::shared_ptr<std::atomic<bool>> thread_ended_;  // host's thread only

  std::vector<std::string> messages_;
  int setup_starts_ = 0;
  std::atomic<int> status_updates_{0};
};

}  // namespace velmora
