#include "setup/header_flow.h"

#include <gtest/gtest.h>

#include "setup/cabrillo_form_model.h"
#include "testing/fake_settings_store.h"
#include "testing/fake_window_system.h"

namespace velmora {
namespace {

using Texts = std::vector<std::string>;

// Every field of a form, in the order of the form's controls from top to
// bottom: CONTEST, CALLSIGN, CLAIMED, operator, band, power, time,
// transmitter, overlay, station, OFFTIME, NAME, ADDRESS, city, postal code,
// country, OPERATORS, CLUB, SOAPBOX, E-MAIL.
Texts FormTexts(const CabrilloForm& form) {
  Texts texts;
  for (const FormControl& c : CabrilloControls())
    if (c.field != nullptr) texts.push_back(form.*c.field);
  return texts;
}

class HeaderFlowTest : public ::testing::Test {
 protected:
  bool Run(const std::string& call = "DL1ABC") {
    return RunCabrilloHeaderFlow(settings, windows, call, header);
  }
  testing::FakeSettingsStore store;
  Settings settings{store};
  testing::FakeWindowSystem windows;
  CabrilloForm header;
};

TEST_F(HeaderFlowTest, FirstRunOffersTheCallAndTheFixedCategories) {
  store.values["Claimed"] = "60";
  ASSERT_TRUE(Run());
  EXPECT_EQ(FormTexts(windows.shown_form),
            (Texts{"VELMORA", "DL1ABC", "60", "SINGLE-OP", "ALL", "HIGH", "", "", "", "", "",
                   "", "", "", "", "", "DL1ABC", "", "", ""}));
}

TEST_F(HeaderFlowTest, StoredKeysAreOfferedWithRealLineBreaksButCategoriesStartFixed) {
  store.values = {{"Operators", "DL1ABC DL2XYZ"}, {"Name", "Anna Berg"},
                  {"Address", "Hauptstr. 1"}, {"Address_City", "Bonn"},
                  {"Address_PostalCode", "53111"}, {"Address_Country", "Germany"},
                  {"Email", "a@b.de"}, {"Club", "DARC"},
                  {"SoapBox", "one<CR><LF>two<LF><CR>"}, {"Offtime", "<CR>x"},
                  {"Category", "MULTI-OP"}, {"Power", "QRP"}, {"Contest", "OTHER"}};
  ASSERT_TRUE(Run("DL5ZZZ"));
  EXPECT_EQ(FormTexts(windows.shown_form),
            (Texts{"VELMORA", "DL5ZZZ", "", "SINGLE-OP", "ALL", "HIGH", "", "", "", "",
                   "\rx", "Anna Berg", "Hauptstr. 1", "Bonn", "53111", "Germany",
                   "DL1ABC DL2XYZ", "DARC", "one\r\ntwo\n\r", "a@b.de"}));
}

TEST_F(HeaderFlowTest, ConfirmStoresTheKeysInOrderAndPreparesTheFileTexts) {
  windows.edit_form = [](CabrilloForm& f) {
    f.Name = "Anna";
    f.SoapBox = "one\r\ntwo";
    f.OffTime = "1300-1400\r\n1500-1600";
    f.Contest = "OTHER";
    f.CategoryTime = "12-HOURS";
  };
  ASSERT_TRUE(Run());
  EXPECT_EQ(store.writes,
            (Texts{"Operators=DL1ABC", "Name=Anna", "Address=", "Address_City=",
                   "Address_PostalCode=", "Address_Country=", "Category=SINGLE-OP",
                   "Power=HIGH", "Contest=OTHER", "Email=", "Club=",
                   "SoapBox=one<CR><LF>two", "Offtime=1300-1400<CR><LF>1500-1600"}));
  EXPECT_EQ(header.SoapBox, "one\r\nSOAPBOX: two");
  EXPECT_EQ(header.OffTime, "1300-1400\r\nOFFTIME: 1500-1600");

  // The next run offers the stored texts and the last time category again.
  windows.edit_form = nullptr;
  ASSERT_TRUE(Run());
  EXPECT_EQ(windows.shown_form.SoapBox, "one\r\ntwo");
  EXPECT_EQ(windows.shown_form.CategoryTime, "12-HOURS");
  EXPECT_EQ(windows.shown_form.Contest, "VELMORA");
}

TEST_F(HeaderFlowTest, CancelStoresNothingAndKeepsTheLoadedValues) {
  store.values = {{"Name", "Anna"}, {"SoapBox", "a<CR><LF>b"}};
  windows.edit_form = [](CabrilloForm& f) {
    for (std::string* field : {&f.Contest, &f.Callsign, &f.CategoryPower, &f.Name, &f.SoapBox})
      *field = "X";
  };
  windows.confirm_form = false;
  EXPECT_FALSE(Run());
  EXPECT_TRUE(store.writes.empty());
  EXPECT_EQ(FormTexts(header),
            (Texts{"VELMORA", "DL1ABC", "", "SINGLE-OP", "ALL", "HIGH", "", "", "", "", "",
                   "Anna", "", "", "", "", "DL1ABC", "", "a\r\nb", ""}));
}

TEST(LineBreakEscapesTest, RoundTripThroughTheSettingsForm) {
  EXPECT_EQ(LineBreaksToSettings("a\r\nb\nc\r"), "a<CR><LF>b<LF>c<CR>");
  EXPECT_EQ(LineBreaksFromSettings("a<CR><LF>b<LF>c<CR>"), "a\r\nb\nc\r");
  EXPECT_EQ(LineBreaksFromSettings("<C<CR>R>"), "<C\rR>");
}

}  // namespace
}  // namespace velmora
