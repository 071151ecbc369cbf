#pragma once

#include <fenv.h>

// While one input runs, the processor traps on an invalid operation, a
// division by zero and an overflow, so a floating-point fault of the code
// under test is a crash the fuzzer reports. The fuzzer's own arithmetic
// between inputs runs without traps.
class FloatTrapsDuringInput {
 public:
  FloatTrapsDuringInput() {
    feclearexcept(FE_ALL_EXCEPT);
    feenableexcept(kTraps);
  }
  ~FloatTrapsDuringInput() {
    fedisableexcept(kTraps);
    feclearexcept(FE_ALL_EXCEPT);
  }
  FloatTrapsDuringInput(const FloatTrapsDuringInput&) = delete;
  FloatTrapsDuringInput& operator=(const FloatTrapsDuringInput&) = delete;

 private:
  static constexpr int kTraps = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;
};
