#pragma once

#include <cstdint>

namespace velmora {

// The floating-point state an entry point runs in. A host built by another
// compiler may run with exceptions unmasked (a trap on an invalid operation,
// a division by zero, an overflow) or at a lower x87 precision; the plug-in's
// code is written for the defaults. The guard saves the calling thread's
// x87 environment and MXCSR, sets the defaults (every exception masked,
// 53-bit precision, round to nearest) and, when it goes out of scope by any
// way, gives the caller its own state back exactly: control words and the
// status flags it had, none of those the plug-in raised.
//
// On Windows it does this; the shared library of the other platforms runs in
// its caller's state, so that the native tests and fuzzers, which run with
// traps on, see every floating-point fault of the core.
class FloatStateGuard {
 public:
  FloatStateGuard();
  ~FloatStateGuard();
  FloatStateGuard(const FloatStateGuard&) = delete;
  FloatStateGuard& operator=(const FloatStateGuard&) = delete;

 private:
  [[maybe_unused]] alignas(4) std::uint8_t x87_[28] = {};  // FNSTENV's 32-bit layout
  [[maybe_unused]] std::uint32_t mxcsr_ = 0;
  [[maybe_unused]] bool has_sse_ = false;
};

}  // namespace velmora
