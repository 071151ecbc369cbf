#include <gtest/gtest.h>

#include <algorithm>

#include "testing/module_fixture.h"

namespace velmora {
namespace {

using testing::At;
using testing::Qso;

constexpr char kFile[] = "DL1ABC.cbr";
constexpr char kSingleOp[] =
    "CATEGORY-OPERATOR: SINGLE-OP\r\nCATEGORY-BAND: ALL\r\nCATEGORY-POWER: HIGH\r\n";
constexpr char kEmptyAddress[] =
    "NAME: \r\nADDRESS: \r\nADDRESS-CITY: \r\nADDRESS-POSTALCODE: \r\nADDRESS-COUNTRY: \r\n"
    "EMAIL: \r\n";
constexpr char kQsoLines[] =
    "QSO: 14025 CW 2017-06-03 1200 DL1ABC        599 001    F5ABC         599 042\r\n"
    "QSO: 14025 CW 2017-06-03 1201 DL1ABC        599 001    W1AW          599 042\r\n"
    "QSO: 14025 CW 2017-06-03 1202 DL1ABC        599 001    F5ABC         599 042\r\n";

// The parts of an export file that the tests vary; the rest is fixed.
std::string CabrilloFile(const std::string& call, const std::string& categories,
                         const std::string& claimed, const std::string& address_to_soapbox,
                         const std::string& qso_lines) {
  return "START-OF-LOG: 3.0\r\nCONTEST: VELMORA\r\nCALLSIGN: " + call + "\r\n" + categories +
         "CLAIMED-SCORE: " + claimed + "\r\nOPERATORS: " + call +
         "\r\nCREATED-BY: Vemo 2.19\r\n" + address_to_soapbox + qso_lines + "END-OF-LOG:\r\n";
}

class CabrilloExportTest : public testing::ModuleFixture, public ::testing::Test {
 protected:
  CabrilloExportTest() {
    files.folders["host/"] = {"Vemo2.ini"};
    files.files["host/Vemo2.ini"] = "Vemo=2.19\r\n";
  }
  // One export: the rebuild with its form, the hand-over, the result request.
  void Export(ResetArgs reset) {
    module.ResetStats(reset);
    module.AddData(Qso("F5ABC", "F", "EU", At(12, 0)));
    module.AddData(Qso("W1AW", "K", "NA", At(12, 1)));
    module.AddData(Qso("F5ABC", "F", "EU", At(12, 2)));  // dupe, still in the file
    module.GetResult(nullptr);
  }
  void Export() { Export(Reset(1)); }
  std::vector<std::string> HeaderKeyWrites() const {
    std::vector<std::string> keys;
    for (const std::string& w : settings.writes)
      if (w.rfind("Claimed=", 0) != 0 && w.rfind("Start=", 0) != 0) keys.push_back(w);
    return keys;
  }
};

TEST_F(CabrilloExportTest, SingleOpFileWithTheStoredHeader) {
  settings.values = {{"Name", "Anna Berg"}, {"Address", "Hauptstr. 1"},
                     {"Address_City", "Bonn"}, {"Address_PostalCode", "53111"},
                     {"Address_Country", "Germany"}, {"Email", "a@b.de"}, {"Club", "DARC"}};
  Export();
  EXPECT_EQ(files.files[kFile],
            CabrilloFile("DL1ABC", kSingleOp, "16",
                         "NAME: Anna Berg\r\nADDRESS: Hauptstr. 1\r\nADDRESS-CITY: Bonn\r\n"
                         "ADDRESS-POSTALCODE: 53111\r\nADDRESS-COUNTRY: Germany\r\n"
                         "EMAIL: a@b.de\r\nSOAPBOX: \r\n",
                         kQsoLines));
  EXPECT_EQ(windows.messages, std::vector<std::string>{"File produced: DL1ABC.cbr"});
  EXPECT_EQ(windows.captions, std::vector<std::string>{"Output"});
  EXPECT_EQ(windows.icons, std::vector<MessageIcon>{MessageIcon::kInformation});
}

TEST_F(CabrilloExportTest, EmptyLogStillGivesACompleteFile) {
  module.ResetStats(Reset(1));
  module.GetResult(nullptr);
  EXPECT_EQ(files.files[kFile], CabrilloFile("DL1ABC", kSingleOp, "0",
                                             std::string(kEmptyAddress) + "SOAPBOX: \r\n", ""));
}

TEST_F(CabrilloExportTest, ResultRequestsWithoutExportOrAfterCancelWriteNothing) {
  Export(Reset(0));
  windows.confirm_form = false;
  windows.edit_form = [](CabrilloForm& f) {
    f.Name = f.Operators = f.SoapBox = f.Club = "edited";
    f.CategoryPower = "QRP";
  };
  Export();
  EXPECT_FALSE(files.files.count(kFile));
  EXPECT_TRUE(windows.messages.empty());
  EXPECT_TRUE(HeaderKeyWrites().empty());
  EXPECT_EQ(windows.forms_run, 1);
}

TEST_F(CabrilloExportTest, MultiOpGivesTransmitterAndOverlayButNoBandOrPower) {
  windows.edit_form = [](CabrilloForm& f) {
    f.CategoryOperator = "MULTI-OP";
    f.CategoryTransmitter = "TWO";
  };
  Export();
  const std::string tail = std::string(kEmptyAddress) + "SOAPBOX: \r\n";
  EXPECT_EQ(files.files[kFile],
            CabrilloFile("DL1ABC",
                         "CATEGORY-OPERATOR: MULTI-OP\r\nCATEGORY-TRANSMITTER: TWO\r\n", "16",
                         tail, kQsoLines));
  windows.edit_form = [](CabrilloForm& f) {
    EXPECT_EQ(f.CategoryTransmitter, "");  // not offered again
    f.CategoryOperator = "MULTI-OP";
    f.CategoryOverlay = "JUNIOR";
  };
  Export();
  EXPECT_EQ(files.files[kFile],
            CabrilloFile("DL1ABC",
                         "CATEGORY-OPERATOR: MULTI-OP\r\nCATEGORY-TRANSMITTER: \r\n"
                         "CATEGORY-OVERLAY: JUNIOR\r\n",
                         "16", tail, kQsoLines));
}

TEST_F(CabrilloExportTest, FormChoicesLandInFileAndKeysButTheNextExportStartsFixed) {
  windows.edit_form = [](CabrilloForm& f) {
    f.CategoryPower = "QRP";
    f.CategoryBand = "20M";
    f.Contest = "SOMETHING ELSE";
    f.ClaimedText = "999999";
  };
  Export();
  EXPECT_EQ(files.files[kFile],
            CabrilloFile("DL1ABC",
                         "CATEGORY-OPERATOR: SINGLE-OP\r\nCATEGORY-BAND: 20M\r\n"
                         "CATEGORY-POWER: QRP\r\n",
                         "16", std::string(kEmptyAddress) + "SOAPBOX: \r\n", kQsoLines));
  EXPECT_EQ(settings.Read("Power"), "QRP");
  EXPECT_EQ(settings.Read("Contest"), "SOMETHING ELSE");
  EXPECT_EQ(settings.Read("Claimed"), "16");

  windows.edit_form = [](CabrilloForm& f) { f.CategoryOperator = "MULTI-OP"; };
  Export();
  EXPECT_EQ(windows.shown_form.CategoryPower, "HIGH");
  EXPECT_EQ(windows.shown_form.CategoryBand, "ALL");
  EXPECT_EQ(windows.shown_form.Contest, "VELMORA");
  EXPECT_EQ(windows.shown_form.ClaimedText, "16");
  EXPECT_EQ(settings.Read("Category"), "MULTI-OP");

  windows.edit_form = nullptr;
  Export();
  EXPECT_EQ(windows.shown_form.CategoryOperator, "SINGLE-OP");
  EXPECT_NE(files.files[kFile].find(kSingleOp), std::string::npos);
}

TEST_F(CabrilloExportTest, TwoLineSoapboxAndOfftimeBecomeOneLineEach) {
  windows.edit_form = [](CabrilloForm& f) {
    f.SoapBox = "line1\r\nline2";
    f.OffTime = "2017-06-03 1500 2017-06-03 1600\r\n2017-06-04 0100 2017-06-04 0300";
  };
  Export();
  EXPECT_EQ(settings.Read("SoapBox"), "line1<CR><LF>line2");
  EXPECT_EQ(settings.Read("Offtime"),
            "2017-06-03 1500 2017-06-03 1600<CR><LF>2017-06-04 0100 2017-06-04 0300");
  EXPECT_EQ(files.files[kFile],
            CabrilloFile("DL1ABC", kSingleOp, "16",
                         std::string(kEmptyAddress) +
                             "SOAPBOX: line1\r\nSOAPBOX: line2\r\n"
                             "OFFTIME: 2017-06-03 1500 2017-06-03 1600\r\n"
                             "OFFTIME: 2017-06-04 0100 2017-06-04 0300\r\n",
                         kQsoLines));
  windows.edit_form = nullptr;
  Export();
  EXPECT_EQ(windows.shown_form.SoapBox, "line1\r\nline2");
}

TEST_F(CabrilloExportTest, PortableCallNamesTheFileAndAnEditedCallOnlyTheLines) {
  ResetArgs portable = Reset(1);
  portable.own_call = "DL/OK1XX\\P";
  windows.edit_form = [](CabrilloForm& f) {
    EXPECT_EQ(f.Callsign, "DL/OK1XX\\P");
    EXPECT_EQ(f.Operators, "DL/OK1XX\\P");
    f.Callsign = f.Operators = "OK1XX";
  };
  module.ResetStats(portable);
  module.AddData(Qso("F5ABC", "F", "EU", At(12, 0)));
  module.GetResult(nullptr);
  EXPECT_EQ(files.files["DL_OK1XX_P.cbr"],
            CabrilloFile("OK1XX", kSingleOp, "3",
                         std::string(kEmptyAddress) + "SOAPBOX: \r\n",
                         "QSO: 14025 CW 2017-06-03 1200 OK1XX         599 001    F5ABC         "
                         "599 042\r\n"));
  EXPECT_EQ(windows.messages, std::vector<std::string>{"File produced: DL_OK1XX_P.cbr"});
}

TEST_F(CabrilloExportTest, EveryResultRequestWritesTheSameWholeFileAgain) {
  Export();
  const std::string first = files.files[kFile];
  module.GetResult(nullptr);
  EXPECT_EQ(files.files[kFile], first);
  EXPECT_EQ(windows.messages.size(), 2u);
  Export();  // a new hand-over of the same log
  EXPECT_EQ(files.files[kFile], first);
}

TEST_F(CabrilloExportTest, AFileThatCannotBeWrittenIsReportedAndTheEarlierOneStays) {
  files.files[kFile] = "earlier file\r\n";
  files.fail_write.insert(kFile);
  Export();
  EXPECT_EQ(files.files[kFile], "earlier file\r\n");
  EXPECT_EQ(windows.messages, std::vector<std::string>{"Could not write DL1ABC.cbr"});
  EXPECT_EQ(windows.captions, std::vector<std::string>{"Output"});
}

}  // namespace
}  // namespace velmora
