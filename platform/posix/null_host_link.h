#pragma once

#include <optional>
#include <string>

#include "platform/host_link.h"

namespace velmora {

// No host logger to attach to: every opening and refresh works without one.
class NullHostLink final : public HostLink {
 public:
  bool Attach() override { return false; }
  bool SendMacro(const std::string&) override { return false; }
  std::optional<std::string> EntryText() override { return std::nullopt; }
  std::optional<double> Frequency() override { return std::nullopt; }
  void Drop() override {}
  bool IsAttached() const override { return false; }
};

}  // namespace velmora
