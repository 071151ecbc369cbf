#include "results/cabrillo_file_name.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(CabrilloFileBaseTest, PortableCallsGetUnderscoresAndEmptyOnesAName) {
  EXPECT_EQ(CabrilloFileBase("DL1ABC"), "DL1ABC");
  EXPECT_EQ(CabrilloFileBase("DL/OK1XX"), "DL_OK1XX");
  EXPECT_EQ(CabrilloFileBase("OK1XX\\P/QRP"), "OK1XX_P_QRP");
  EXPECT_EQ(CabrilloFileBase(" \tDL1ABC \r\n"), "DL1ABC");
  EXPECT_EQ(CabrilloFileBase("DL 1ABC"), "DL 1ABC");
  EXPECT_EQ(CabrilloFileBase(""), "RDRC");
  EXPECT_EQ(CabrilloFileBase(" \t "), "RDRC");
  EXPECT_EQ(CabrilloFileBase("/"), "_");
}

TEST(CabrilloFileBaseTest, NoCallAimsTheFileElsewhere) {
  EXPECT_EQ(CabrilloFileBase("A<B>:C"), "A_B__C");
  EXPECT_EQ(CabrilloFileBase("C:\\Windows\\x"), "C__Windows_x");
  EXPECT_EQ(CabrilloFileBase("../../etc"), ".._.._etc");
  EXPECT_EQ(CabrilloFileBase("a\"b|c?d*e"), "a_b_c_d_e");
  EXPECT_EQ(CabrilloFileBase(std::string("a\x01\tb\x1f", 5)), "a__b_");
  EXPECT_EQ(CabrilloFileBase("DL\xe4X"), "DL\xe4X");  // code-page letters stay
}

TEST(CabrilloFileBaseTest, DeviceNamesGetAnUnderscore) {
  EXPECT_EQ(CabrilloFileBase(" con "), "con_");
  for (const char* device : {"CON", "prn", "Aux", "NUL", "COM1", "com9", "LPT1", "lPt9"})
    EXPECT_EQ(CabrilloFileBase(device), std::string(device) + "_") << device;
  for (const char* call : {"COM0", "LPT", "CONX", "NUL1", "COM10", "XCON"})
    EXPECT_EQ(CabrilloFileBase(call), call) << call;
  EXPECT_EQ(CabrilloFileBase("CO:"), "CO_");
}

}  // namespace
}  // namespace velmora
