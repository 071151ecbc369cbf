#include "readers/cabrillo_reader.h"

#include <gtest/gtest.h>

#include "testing/whole_file.h"

namespace {

// One line per QSO: line, time, call, band, freq, mode, reports, own call.
std::string Describe(const ParsedLog& log) {
  std::string out;
  for (const LogQso& q : log.qsos)
    out += std::to_string(q.line) + " " + q.time.Format("%Y-%m-%d %H:%M") + " " + q.call + " " +
           q.band + " " + std::to_string(q.freq_hz) + " " + q.mode + " " + q.rst_sent + "/" +
           q.nr_sent + " " + q.rst_rcvd + "/" + q.nr_rcvd + " " + q.own_call + "\n";
  return out;
}

std::string DescribeSkipped(const ParsedLog& log) {
  std::string out;
  for (const LogProblem& p : log.skipped) out += std::to_string(p.line) + " " + p.message + "\n";
  return out;
}

TEST(CabrilloReaderTest, ReadsHeaderCallAndQsoLines) {
  ParsedLog log = ReadCabrillo(
      "START-OF-LOG: 3.0\n"
      "CONTEST: VELMORA\n"
      "CALLSIGN: ok1zeb\n"
      "CATEGORY-OPERATOR: SINGLE-OP\n"
      "QSO:  3525 CW 2017-06-03 1200 OK1ZEB        599 001    DL1ABC        599 017\n"
      "QSO: 14025 PH 2017-06-03 1201 OK1ZEB        59  002    JA1XYZ        59  123    0\n"
      "END-OF-LOG:\n",
      "log.cbr");
  EXPECT_EQ(log.own_call, "OK1ZEB");
  EXPECT_EQ(Describe(log),
            "5 2017-06-03 12:00 DL1ABC 80m 3525000 CW 599/001 599/017 OK1ZEB\n"
            "6 2017-06-03 12:01 JA1XYZ 20m 14025000 PH 59/002 59/123 OK1ZEB\n");
  EXPECT_EQ(DescribeSkipped(log), "");
}

TEST(CabrilloReaderTest, AcceptsWideZeroPaddedAndOutOfBandFrequenciesTabsAndCrLf) {
  ParsedLog log = ReadCabrillo(
      "START-OF-LOG: 3.0\r\n"
      "QSO: 07008 CW 2017-06-03 1300 OK1ZEB 599 003 ea3abc 599 044\r\n"
      "QSO:\t014025\tRY\t2017-06-03\t1301\tOK1ZEB\t599\t004\tK1ABC\t599\t005\r\n"
      "QSO: 10110 CW 2017-06-03 1302 OK1ZEB 599 005 W1AW/4 599 006\r\n"
      "QSO: 18080   DG   2017-06-03   1303 \t OK1ZEB 599 006 VK2ABC 599 007 1\r\n"
      "QSO: 14500 CW 2017-06-03 1304 OK1ZEB 599 007 SP1ABC 599 008\r\n"
      "END-OF-LOG:\r\n",
      "log.cbr");
  EXPECT_EQ(Describe(log),
            "2 2017-06-03 13:00 EA3ABC 40m 7008000 CW 599/003 599/044 OK1ZEB\n"
            "3 2017-06-03 13:01 K1ABC 20m 14025000 RY 599/004 599/005 OK1ZEB\n"
            "4 2017-06-03 13:02 W1AW/4 30m 10110000 CW 599/005 599/006 OK1ZEB\n"
            "5 2017-06-03 13:03 VK2ABC 17m 18080000 DG 599/006 599/007 OK1ZEB\n"
            "6 2017-06-03 13:04 SP1ABC  14500000 CW 599/007 599/008 OK1ZEB\n");
}

TEST(CabrilloReaderTest, ReadsLastLineWithoutFinalNewline) {
  ParsedLog log = ReadCabrillo(
      "START-OF-LOG: 3.0\nQSO: 28025 CW 2017-06-04 0000 OK1ZEB 599 007 PY2ABC 599 100", "log.cbr");
  EXPECT_EQ(Describe(log), "2 2017-06-04 00:00 PY2ABC 10m 28025000 CW 599/007 599/100 OK1ZEB\n");
}

TEST(CabrilloReaderTest, IgnoresXQsoLinesAndEverythingAfterEndOfLog) {
  ParsedLog log = ReadCabrillo(
      "START-OF-LOG: 3.0\n"
      "X-QSO: 14025 CW 2017-06-03 1400 OK1ZEB 599 008 G4ABC 599 009\n"
      "QSO: 14026 CW 2017-06-03 1401 OK1ZEB 599 009 G4ABD 599 010\n"
      "SOAPBOX: QSO: nothing here counts\n"
      "END-OF-LOG:\n"
      "QSO: 14027 CW 2017-06-03 1402 OK1ZEB 599 010 G4ABE 599 011\n",
      "log.cbr");
  EXPECT_EQ(Describe(log), "3 2017-06-03 14:01 G4ABD 20m 14026000 CW 599/009 599/010 OK1ZEB\n");
  EXPECT_EQ(DescribeSkipped(log), "");
}

TEST(CabrilloReaderTest, ReportsAndSkipsLinesThatCannotBeUsed) {
  ParsedLog log = ReadCabrillo(
      "START-OF-LOG: 3.0\n"
      "QSO: 14025 CW 2017-06-03 1600 OK1ZEB 599 012 HA1ABC 599\n"
      "QSO: 144 CW 2017-06-03 1601 OK1ZEB 599 013 HA1ABD 599 014\n"
      "QSO: 1.2G CW 2017-06-03 1602 OK1ZEB 599 014 HA1ABE 599 015\n"
      "QSO: 14025 CW 2017-6-03 1603 OK1ZEB 599 015 HA1ABF 599 016\n"
      "QSO: 14025 CW 2017-06-03 16:04 OK1ZEB 599 016 HA1ABG 599 017\n"
      "QSO: 14025 CW 2017-06-31 1605 OK1ZEB 599 017 HA1ABH 599 018\n"
      "QSO:\n"
      "QSO: 14025 CW 2017-06-03 1606 OK1ZEB 599 018 HA1ABI 599 019\n",
      "log.cbr");
  EXPECT_EQ(Describe(log), "9 2017-06-03 16:06 HA1ABI 20m 14025000 CW 599/018 599/019 OK1ZEB\n");
  EXPECT_EQ(DescribeSkipped(log),
            "2 QSO line has 9 columns, 10 needed\n"
            "3 band code \"144\" instead of a frequency\n"
            "4 bad frequency \"1.2G\"\n"
            "5 bad date \"2017-6-03\"\n"
            "6 bad time \"16:04\"\n"
            "7 bad date or time \"2017-06-31 1605\"\n"
            "8 QSO line has 0 columns, 10 needed\n");
}

TEST(CabrilloReaderTest, NeedsStartOfLogOrQsoLinesOnly) {
  EXPECT_EQ(ReadCabrillo("START-OF-LOG: 3.0\nEND-OF-LOG:\n", "log.cbr").qsos.size(), 0u);
  try {
    ReadCabrillo("CALLSIGN: OK1ZEB\nX-QSO: 14025 CW 2017-06-03 1600 OK1ZEB 599 1 G4A 599 2\n",
                 "log.cbr");
    FAIL() << "no error";
  } catch (const LogReadError& error) {
    EXPECT_STREQ(error.what(), "log.cbr:1: no START-OF-LOG: or QSO: line, not a Cabrillo log");
  }
}

TEST(CabrilloReaderTest, ReadsTheBundledSampleLog) {
  ParsedLog log = ReadCabrillo(
      velmora::testing::ReadWholeFile(VELMORA_TESTDATA "/../examples/sample.cbr"), "sample.cbr");
  EXPECT_EQ(log.own_call, "OK1ZEB");
  ASSERT_EQ(log.qsos.size(), 406u);
  EXPECT_EQ(DescribeSkipped(log),
            "180 QSO line has 9 columns, 10 needed\n"
            "302 QSO line has 9 columns, 10 needed\n");
  ParsedLog ends;
  ends.qsos = {log.qsos.front(), log.qsos.back()};
  EXPECT_EQ(Describe(ends),
            "16 2017-06-03 12:00 XV9RMT 20m 14019000 CW 589/001 599/1 OK1ZEB\n"
            "423 2017-06-04 11:45 8R1LZO 15m 21017000 CW 599/408 599/307 OK1ZEB\n");
}

}  // namespace
