#include "readers/adif_reader.h"

#include <gtest/gtest.h>

namespace {

// One line per QSO: line, time, call, band, freq, mode, reports, own call.
std::string Describe(const ParsedLog& log) {
  std::string out;
  for (const LogQso& q : log.qsos)
    out += std::to_string(q.line) + " " + q.time.Format("%Y-%m-%d %H:%M:%S") + " " + q.call +
           " " + q.band + " " + std::to_string(q.freq_hz) + " " + q.mode + " " + q.rst_sent +
           "/" + q.nr_sent + " " + q.rst_rcvd + "/" + q.nr_rcvd + " " + q.own_call + "\n";
  return out;
}

std::string DescribeSkipped(const ParsedLog& log) {
  std::string out;
  for (const LogProblem& p : log.skipped) out += std::to_string(p.line) + " " + p.message + "\n";
  return out;
}

std::string ReadError(std::string_view text) {
  try {
    ReadAdif(text, "log.adi");
  } catch (const LogReadError& error) {
    return error.what();
  }
  return "no error";
}

TEST(AdifReaderTest, SkipsHeaderTextAndHeaderFields) {
  ParsedLog log = ReadAdif(
      "Exported 2017-06-04 by a <nameless> logger\n"
      "<ADIF_VER:5>3.1.0 <PROGRAMID:4>Test\n"
      "<EOH>\n"
      "<CALL:5>DL1AB <QSO_DATE:8>20170603 <TIME_ON:4>1200 <BAND:3>20M <FREQ:6>14.025\n"
      "<MODE:2>CW <RST_SENT:3>599 <STX:3>001 <RST_RCVD:3>599 <SRX:2>17 <EOR>\n",
      "log.adi");
  EXPECT_EQ(Describe(log), "4 2017-06-03 12:00:00 DL1AB 20m 14025000 CW 599/001 599/17 \n");
  EXPECT_EQ(DescribeSkipped(log), "");
}

TEST(AdifReaderTest, ReadsFileWithoutHeader) {
  ParsedLog log = ReadAdif(
      "<CALL:4>K1AB<QSO_DATE:8>20170603<TIME_ON:6>235959<FREQ:5>7.012<EOR>\n"
      "<CALL:5>JA1AB<QSO_DATE:8>20170604<TIME_ON:4>0001<FREQ:7>21.0305<EOR>\n",
      "log.adi");
  EXPECT_EQ(Describe(log),
            "1 2017-06-03 23:59:59 K1AB 40m 7012000  / / \n"
            "2 2017-06-04 00:01:00 JA1AB 15m 21030500  / / \n");
}

TEST(AdifReaderTest, FieldNamesAndEndOfRecordIgnoreCase) {
  ParsedLog log = ReadAdif(
      "header\n<eoh>\n"
      "<call:5>ok1ab<qso_date:8:d>20170603<time_on:4>1300<band:3>40m<mode:2>CW<eor>\n"
      "<Call:5>S51AB<Qso_Date:8>20170603<Time_On:4>1301<Band:3>80M<EoR>\n",
      "log.adi");
  EXPECT_EQ(Describe(log),
            "3 2017-06-03 13:00:00 OK1AB 40m 0 CW / / \n"
            "4 2017-06-03 13:01:00 S51AB 80m 0  / / \n");
}

TEST(AdifReaderTest, CountsFieldLengthsInBytesAndKeepsBytesAsGiven) {
  // "Dvůr" and "Jiří" are 5 and 6 bytes in UTF-8.
  ParsedLog log = ReadAdif(
      "<NAME:6>Jiří<CALL:5>OK2AB<QSO_DATE:8>20170603<TIME_ON:4>1400<BAND:3>20m"
      "<SRX_STRING:5>Dvůr<EOR>",
      "log.adi");
  EXPECT_EQ(Describe(log), "1 2017-06-03 14:00:00 OK2AB 20m 0  / /Dvůr \n");
}

TEST(AdifReaderTest, BandFieldWinsAndFrequencyGivesBandOtherwise) {
  ParsedLog log = ReadAdif(
      "<CALL:4>G4AB<QSO_DATE:8>20170603<TIME_ON:4>1500<BAND:3>40M<FREQ:5>7.025<EOR>\n"
      "<CALL:4>G4AC<QSO_DATE:8>20170603<TIME_ON:4>1501<FREQ:6>10,110<EOR>\n"
      "<CALL:4>G4AE<QSO_DATE:8>20170603<TIME_ON:4>1503<FREQ:6>27.555<EOR>\n"
      "<CALL:4>G4AF<QSO_DATE:8>20170603<TIME_ON:4>1504<FREQ:3>abc<EOR>\n",
      "log.adi");
  EXPECT_EQ(Describe(log),
            "1 2017-06-03 15:00:00 G4AB 40m 7025000  / / \n"
            "2 2017-06-03 15:01:00 G4AC 30m 10110000  / / \n"
            "3 2017-06-03 15:03:00 G4AE  27555000  / / \n"
            "4 2017-06-03 15:04:00 G4AF  0  / / \n");
}

TEST(AdifReaderTest, SerialNumberFieldsWinOverStringFields) {
  ParsedLog log = ReadAdif(
      "<CALL:4>F5AB<QSO_DATE:8>20170603<TIME_ON:4>1600<BAND:3>20m"
      "<STX:2>12<STX_STRING:3>abc<SRX_STRING:3>def<SRX:2>34<EOR>\n"
      "<CALL:4>F5AC<QSO_DATE:8>20170603<TIME_ON:4>1601<BAND:3>20m"
      "<STX_STRING:3>013<SRX_STRING:3>OK1<STX:0><EOR>\n",
      "log.adi");
  EXPECT_EQ(Describe(log),
            "1 2017-06-03 16:00:00 F5AB 20m 0  /12 /34 \n"
            "2 2017-06-03 16:01:00 F5AC 20m 0  /013 /OK1 \n");
}

TEST(AdifReaderTest, OwnCallComesFromStationCallsignThenOperator) {
  ParsedLog log = ReadAdif(
      "<EOH>\n"
      "<CALL:4>I2AB<QSO_DATE:8>20170603<TIME_ON:4>1700<BAND:3>20m<EOR>\n"
      "<CALL:4>I2AC<QSO_DATE:8>20170603<TIME_ON:4>1701<BAND:3>20m<OPERATOR:5>ok1op<EOR>\n"
      "<CALL:4>I2AD<QSO_DATE:8>20170603<TIME_ON:4>1702<BAND:3>20m<OPERATOR:5>OK1OP"
      "<STATION_CALLSIGN:6>OK5ZEB<EOR>\n",
      "log.adi");
  EXPECT_EQ(log.own_call, "OK1OP");
  EXPECT_EQ(Describe(log),
            "2 2017-06-03 17:00:00 I2AB 20m 0  / / \n"
            "3 2017-06-03 17:01:00 I2AC 20m 0  / / OK1OP\n"
            "4 2017-06-03 17:02:00 I2AD 20m 0  / / OK5ZEB\n");
}

TEST(AdifReaderTest, ReportsAndSkipsRecordsThatCannotBeUsed) {
  ParsedLog log = ReadAdif(
      "<EOH>\r\n"
      "<QSO_DATE:8>20170603<TIME_ON:4>1800<BAND:3>20m<EOR>\r\n"
      "<CALL:4>EA1A<QSO_DATE:7>2017063<TIME_ON:4>1800<EOR>\r\n"
      "<CALL:4>EA1B<QSO_DATE:8>20170230<TIME_ON:4>1800<EOR>\r\n"
      "<CALL:4>EA1C<QSO_DATE:8>20170603<TIME_ON:4>1860<EOR>\r\n"
      "<CALL:4>EA1D<QSO_DATE:8>20170603<EOR>\r\n"
      "<CALL:4>EA1E<TIME_ON:4>1800<EOR>\r\n"
      "<CALL:4>EA1F<QSO_DATE:8>20170603<TIME_ON:3>180<EOR>\r\n"
      "<EOR>\r\n"
      "<CALL:4>EA1G<QSO_DATE:8>20170603\r\n<TIME_ON:4>1800<EOR>\r\n"
      "<CALL:4>EA1H<QSO_DATE:8>20170603<TIME_ON:4>1800\r\n",
      "log.adi");
  EXPECT_EQ(Describe(log), "10 2017-06-03 18:00:00 EA1G  0  / / \n");
  EXPECT_EQ(DescribeSkipped(log),
            "2 record has no CALL\n"
            "3 bad QSO_DATE \"2017063\"\n"
            "4 bad date or time \"20170230 1800\"\n"
            "5 bad date or time \"20170603 1860\"\n"
            "6 no TIME_ON\n"
            "7 no QSO_DATE\n"
            "8 bad TIME_ON \"180\"\n"
            "12 record not closed by <EOR>\n");
}

TEST(AdifReaderTest, RejectsTextThatIsNoAdif) {
  EXPECT_EQ(ReadError("<EOH>\n<CALL:4>OK1A<EOR>\n<CALL:12>OK1B<EOR>\n"),
            "log.adi:3: field CALL runs past the end of the file");
  EXPECT_EQ(ReadError("<EOH>\n\n<CALL:x>OK1A<EOR>\n"),
            "log.adi:3: malformed ADIF tag \"<CALL:x>\"");
  EXPECT_EQ(ReadError("<html><body>"), "log.adi:1: malformed ADIF tag \"<html>\"");
  EXPECT_EQ(ReadError("just some text\nwith no header end\n"),
            "log.adi:1: no <EOH> ends the ADIF header");
}

TEST(AdifFrequencyToHzTest, ConvertsMegahertzWithoutRoundingErrors) {
  EXPECT_EQ(AdifFrequencyToHz("14.025"), 14025000u);
  EXPECT_EQ(AdifFrequencyToHz(" 3.5005 "), 3500500u);
  EXPECT_EQ(AdifFrequencyToHz("1.8383456789"), 1838345u);
  EXPECT_EQ(AdifFrequencyToHz("14.02.5"), 0u);
  EXPECT_EQ(AdifFrequencyToHz("10368.1"), 0u);  // does not fit in 32 bits of Hz
}

}  // namespace
