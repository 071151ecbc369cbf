#include "results/cabrillo_writer.h"

#include <gtest/gtest.h>

#include "engine/qso_validation.h"
#include "testing/module_fixture.h"

namespace velmora {
namespace {

using testing::At;
using testing::Qso;

TEST(CabrilloQsoLineTest, PadsEveryColumnToItsWidth) {
  EXPECT_EQ(CabrilloQsoLine(MakeRecord(Qso("F5ABC", "F", "EU", At(9, 5))), "DL1ABC"),
            "QSO: 14025 CW 2017-06-03 0905 DL1ABC        599 001    F5ABC         599 042\r\n");
  QsoArgs low = Qso("W1AW", "K", "NA", At(23, 59, 59, 4), "160m");
  low.freq_hz = 1830999;
  low.rst_sent = low.nr_sent = low.rst_rcvd = low.nr_rcvd = "";
  EXPECT_EQ(CabrilloQsoLine(MakeRecord(low), ""),
            "QSO:  1830 CW 2017-06-04 2359" + std::string(26, ' ') + "W1AW" + std::string(14, ' ') +
                "\r\n");
}

TEST(CabrilloQsoLineTest, LongTextsAreNotCutAndOddValuesShowAsSuch) {
  QsoArgs q = Qso("VERY/LONG/CALL/P", "F", "EU", COleDateTime(0, COleDateTime::kInvalid));
  q.freq_hz = 1234567000;
  q.rst_sent = "5999";
  q.nr_sent = "1234567";
  q.rst_rcvd = "57N9";
  q.nr_rcvd = "000123456789";
  CInfo record = MakeRecord(q);
  EXPECT_EQ(CabrilloQsoLine(record, "DL/OK1XXX/QRPP"),
            "QSO: 1234567 CW Invalid DateTime DL/OK1XXX/QRPP 5999 1234567 VERY/LONG/CALL/P "
            "57N9 000123456789\r\n");
  for (const char* mode : {"cw", "SSB", ""}) {
    record.Mode = mode;
    record.FreqKHz = 7;
    EXPECT_EQ(CabrilloQsoLine(record, "DL1ABC").substr(0, 17), "QSO:     7 ?? Inv") << mode;
  }
}

TEST(CabrilloQsoLineTest, ALineBreakInAValueBecomesASpace) {
  QsoArgs broken = Qso("F5\nAB", "F", "EU", At(9, 5));
  broken.nr_rcvd = "04\r2";
  QsoArgs spaced = Qso("F5 AB", "F", "EU", At(9, 5));
  spaced.nr_rcvd = "04 2";
  EXPECT_EQ(CabrilloQsoLine(MakeRecord(broken), "DL1\r\nA"),
            CabrilloQsoLine(MakeRecord(spaced), "DL1  A"));
  CabrilloForm header;
  header.Name = "Anna\r\nCATEGORY-POWER: QRP";
  header.SoapBox = "one\r\nSOAPBOX: two";  // the file form keeps its lines
  const std::string text = CabrilloFileText(header, QsoLog(), 0, "2.19");
  EXPECT_NE(text.find("\r\nNAME: Anna  CATEGORY-POWER: QRP\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\r\nSOAPBOX: one\r\nSOAPBOX: two\r\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace velmora
