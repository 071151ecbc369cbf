#pragma once

#include <mutex>
#include <string>
#include <string_view>

#include "platform/settings_store.h"

namespace velmora {

// One settings store shared by the host's thread and the setup thread. A
// store may rewrite its whole file on a write, so the accesses take turns and
// neither thread loses the other's write.
class LockedSettingsStore : public SettingsStore {
 public:
  explicit LockedSettingsStore(SettingsStore& store) : store_(store) {}

  std::string Read(std::string_view key) override {
    std::lock_guard lock(mutex_);
    return store_.Read(key);
  }
  bool Write(std::string_view key, std::string_view value) override {
    std::lock_guard lock(mutex_);
    return store_.Write(key, value);
  }

 private:
  SettingsStore& store_;
  std::mutex mutex_;
};

}  // namespace velmora
