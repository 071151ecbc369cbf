#pragma once

#include <optional>
#include <string>

namespace velmora {

// The running host logger's automation object ("Vemo2.Application"), reached
// through its dispatch interface by dispatch id. Setup thread only: the
// reference belongs to the thread that attached it.
class HostLink {
 public:
  virtual ~HostLink() = default;

  // Looks up the running host and takes its dispatch interface. Only a
  // successful lookup replaces an earlier reference. True on success.
  virtual bool Attach() = 0;
  // Runs `text` as one of the host's macros (dispatch id 16). False when the
  // call failed or nothing is attached.
  virtual bool SendMacro(const std::string& text) = 0;
  // The call being entered in the host (method 8 with the argument 5); a
  // result that is not text reads as empty. nullopt when the call failed or
  // nothing is attached.
  virtual std::optional<std::string> EntryText() = 0;
  // The host's operating frequency in hertz (property 2); nullopt when the
  // call failed or nothing is attached.
  virtual std::optional<double> Frequency() = 0;
  // Releases the reference, if there is one.
  virtual void Drop() = 0;
  virtual bool IsAttached() const = 0;
};

}  // namespace velmora
