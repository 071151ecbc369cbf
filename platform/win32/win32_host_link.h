#pragma once

#include <optional>
#include <string>

#include "platform/host_link.h"

struct IDispatch;

namespace velmora {

// The host logger's automation object, found in the running object table by
// its ProgID and called through IDispatch by dispatch id. The thread that
// uses it must have initialised COM, and drops the reference before it
// uninitialises COM: the destructor runs at unload, where no COM call may be
// made, and forgets a reference still held. Texts cross as UTF-16 and are
// converted from and to the ANSI code page.
class Win32HostLink final : public HostLink {
 public:
  static constexpr wchar_t kProgId[] = L"Vemo2.Application";

  Win32HostLink() = default;
  ~Win32HostLink() override = default;
  Win32HostLink(const Win32HostLink&) = delete;
  Win32HostLink& operator=(const Win32HostLink&) = delete;

  bool Attach() override;
  bool SendMacro(const std::string& text) override;
  std::optional<std::string> EntryText() override;
  std::optional<double> Frequency() override;
  void Drop() override;
  bool IsAttached() const override { return host_ != nullptr; }

 private:
  IDispatch* host_ = nullptr;
};

}  // namespace velmora
