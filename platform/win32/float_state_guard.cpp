#include "platform/float_state_guard.h"

#include <cpuid.h>

namespace velmora {

namespace {

constexpr std::uint16_t kDefaultControl = 0x027f;  // masked, 53-bit, nearest
constexpr std::uint32_t kDefaultMxcsr = 0x1f80;    // masked, nearest, no flush

// An x86_64 processor always has SSE; a 32-bit one may predate it, and there
// MXCSR does not exist.
bool HasSse() {
#if defined(__x86_64__)
  return true;
#else
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  return __get_cpuid(1, &eax, &ebx, &ecx, &edx) && (edx & bit_SSE) != 0;
#endif
}

}  // namespace

FloatStateGuard::FloatStateGuard() {
  static const bool has_sse = HasSse();
  has_sse_ = has_sse;
  // FNSTENV stores without waiting on a pending exception of the caller's
  // and masks every x87 exception; the default control word follows.
  __asm__ volatile("fnstenv %0" : "=m"(x87_) : : "memory");
  __asm__ volatile("fldcw %0" : : "m"(kDefaultControl) : "memory");
  if (has_sse_) {
    __asm__ volatile("stmxcsr %0" : "=m"(mxcsr_) : : "memory");
    __asm__ volatile("ldmxcsr %0" : : "m"(kDefaultMxcsr) : "memory");
  }
}

// The saved words go back as they were, status flags included: what the
// plug-in raised is gone, what the caller had raised is there again.
FloatStateGuard::~FloatStateGuard() {
  if (has_sse_) __asm__ volatile("ldmxcsr %0" : : "m"(mxcsr_) : "memory");
  __asm__ volatile("fldenv %0" : : "m"(x87_) : "memory");
}

}  // namespace velmora
