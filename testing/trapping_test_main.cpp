// The main of every native test program: the tests run with the processor
// trapping on an invalid operation, a division by zero and an overflow, so a
// floating-point fault anywhere in the core is a crash here, as it is in a
// host that unmasks those exceptions.

#include <fenv.h>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  feclearexcept(FE_ALL_EXCEPT);
  feenableexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
