#pragma once

#include <map>
#include <string>
#include <vector>

#include "engine/contest_rules.h"
#include "platform/settings_store.h"

namespace velmora::testing {

// Keys in memory (letter case ignored), with the writes in order.
class FakeSettingsStore : public SettingsStore {
 public:
  std::string Read(std::string_view key) override {
    for (auto& [k, v] : values)
      if (EqualsIgnoringCase(k, key)) return v;
    return std::string();
  }
  bool Write(std::string_view key, std::string_view value) override {
    writes.push_back(std::string(key) + "=" + std::string(value));
    for (auto& [k, v] : values)
      if (EqualsIgnoringCase(k, key)) return v = std::string(value), true;
    values[std::string(key)] = std::string(value);
    return true;
  }

  std::map<std::string, std::string> values;
  std::vector<std::string> writes;
};

}  // namespace velmora::testing
