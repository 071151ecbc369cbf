#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/host_link.h"

namespace velmora::testing {

// A scripted host: it serves `call` and `frequency` while running, records
// every call in order, and fails the calls named in `failing` ("Attach",
// "SendMacro", "EntryText", "Frequency"). The setup thread calls it while a
// test sets it up, so every member is behind one lock.
class FakeHostLink : public HostLink {
 public:
  bool Attach() override {
    std::lock_guard lock(mutex_);
    log_.push_back("Attach");
    if (!running_ || failing_.count("Attach")) return false;
    return attached_ = true;
  }
  bool SendMacro(const std::string& text) override {
    std::lock_guard lock(mutex_);
    log_.push_back("SendMacro " + text);
    if (!attached_ || failing_.count("SendMacro")) return false;
    macros_.push_back(text);
    return true;
  }
  std::optional<std::string> EntryText() override {
    std::unique_lock lock(mutex_);
    log_.push_back("EntryText 5");
    released_.wait_for(lock, std::chrono::seconds(5), [&] { return !held_; });
    if (!attached_ || failing_.count("EntryText")) return std::nullopt;
    return call_;
  }
  std::optional<double> Frequency() override {
    std::lock_guard lock(mutex_);
    log_.push_back("Frequency");
    if (!attached_ || failing_.count("Frequency")) return std::nullopt;
    return frequency_;
  }
  void Drop() override {
    std::lock_guard lock(mutex_);
    if (attached_) log_.push_back("Drop");
    attached_ = false;
  }
  bool IsAttached() const override {
    std::lock_guard lock(mutex_);
    return attached_;
  }

  // A host that is not running cannot be attached.
  void SetRunning(bool running) { Locked([&] { running_ = running; }); }
  void Serve(std::string call, double frequency) {
    Locked([&] { call_ = std::move(call), frequency_ = frequency; });
  }
  void Fail(std::string call) { Locked([&] { failing_.insert(std::move(call)); }); }
  void FailNothing() { Locked([&] { failing_.clear(); }); }
  // EntryText waits (at most 5 s) until Release: a refresh held in the host.
  void Hold() { Locked([&] { held_ = true; }); }
  void Release() {
    Locked([&] { held_ = false; });
    released_.notify_all();
  }
  std::vector<std::string> log() const { return Copy(log_); }
  std::vector<std::string> macros() const { return Copy(macros_); }
  void ClearLog() { Locked([&] { log_.clear(), macros_.clear(); }); }

 private:
  template <typename F>
  void Locked(F f) {
    std::lock_guard lock(mutex_);
    f();
  }
  std::vector<std::string> Copy(const std::vector<std::string>& v) const {
    std::lock_guard lock(mutex_);
    return v;
  }

  mutable std::mutex mutex_;
  std::condition_variable released_;
  bool running_ = true;
  bool attached_ = false;
  bool held_ = false;
  std::string call_;
  double frequency_ = 0.0;
  std::set<std::string> failing_;
  std::vector<std::string> log_;
  std::vector<std::string> macros_;
};

}  // namespace velmora::testing
