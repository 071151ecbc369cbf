#include "setup/cabrillo_form_model.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace velmora {
namespace {

using Items = std::vector<std::string>;

const Items& ItemsOf(int id) {
  const FormControl* c = FindControl(id);
  EXPECT_NE(c, nullptr) << id;
  static const Items none;
  return c ? c->items : none;
}

TEST(ComboPushTest, SelectsTheFirstItemThatBeginsWithTheMember) {
  const Items power = {"HIGH", "LOW", "QRP"};
  EXPECT_EQ(ComboPush(power, "HIGH").selected, 0);
  EXPECT_EQ(ComboPush(power, "qrp").selected, 2);
  EXPECT_EQ(ComboPush(power, "qrp").text, "QRP");
  EXPECT_EQ(ComboPush(power, "Lo").text, "LOW");
  const Items band = ItemsOf(1017);
  EXPECT_EQ(ComboPush(band, "1").text, "160M");
  EXPECT_EQ(ComboPush(band, "80m").selected, 2);  // "80M" comes before "80M-40M"
  EXPECT_EQ(ComboPush(band, "80M-").text, "80M-40M");
}

TEST(ComboPushTest, EmptyOrUnknownMembersSelectNothing) {
  const Items power = {"HIGH", "LOW", "QRP"};
  EXPECT_EQ(ComboPush(power, "").selected, -1);
  EXPECT_EQ(ComboPush(power, "").text, "");
  EXPECT_EQ(ComboPush(power, "QRPP").selected, -1);
  EXPECT_EQ(ComboPush(power, "QRPP").text, "QRPP");
  EXPECT_EQ(ComboPush(power, " high").text, " high");
  EXPECT_EQ(ComboPush({}, "HIGH").text, "HIGH");
}

TEST(CabrilloControlsTest, CombosListTheirItemsInShownOrder) {
  EXPECT_EQ(ItemsOf(1013), (Items{"CHECKLOG", "MULTI-OP", "SINGLE-OP"}));
  EXPECT_EQ(ItemsOf(1017), (Items{"ALL", "160M", "80M", "40M", "20M", "15M", "10M",
                                  "80M-40M", "20M-15M-10M"}));
  EXPECT_EQ(ItemsOf(1015), (Items{"HIGH", "LOW", "QRP"}));
  EXPECT_EQ(ItemsOf(1021), (Items{"12-HOURS", "24-HOURS"}));
  EXPECT_EQ(ItemsOf(1022), (Items{"ONE", "TWO", "UNLIMITED"}));
  EXPECT_EQ(ItemsOf(1014), (Items{"JUNIOR"}));
  EXPECT_EQ(ItemsOf(932), (Items{"FIXED", "PORTABLE"}));
  EXPECT_EQ(ShownOrder(ControlKind::kSortedCombo, {"b", "C", "a"}), (Items{"a", "b", "C"}));
  EXPECT_EQ(ShownOrder(ControlKind::kUnsortedCombo, {"b", "C", "a"}), (Items{"b", "C", "a"}));
}

TEST(CabrilloControlsTest, EveryHeaderFieldHasOneControlAndOnlyClaimedStaysBehind) {
  std::set<int> ids;
  std::vector<std::string CabrilloForm::*> fields;
  std::vector<int> not_pulled, disabled, hidden;
  for (const FormControl& c : CabrilloControls()) {
    EXPECT_TRUE(ids.insert(c.id).second) << c.id;
    if (c.kind == ControlKind::kButton) continue;
    ASSERT_NE(c.field, nullptr) << c.id;
    for (auto seen : fields) EXPECT_NE(seen, c.field) << c.id;
    fields.push_back(c.field);
    if (!c.pulled_back) not_pulled.push_back(c.id);
    if (!c.enabled) disabled.push_back(c.id);
    if (!c.shown) hidden.push_back(c.id);
  }
  EXPECT_EQ(fields.size(), 20u);  // every field of the record, once each
  EXPECT_EQ(not_pulled, std::vector<int>{1008});
  EXPECT_EQ(disabled, (std::vector<int>{1021, 1014, 932, 1000}));
  EXPECT_EQ(hidden, std::vector<int>{1000});
  EXPECT_EQ(FindControl(1000)->kind, ControlKind::kMultiLineEdit);
  EXPECT_EQ(FindControl(1001)->kind, ControlKind::kMultiLineEdit);
  EXPECT_EQ(FindControl(1017)->kind, ControlKind::kUnsortedCombo);
  EXPECT_EQ(FindControl(1015)->label, "CATEGORY-POWER");
  EXPECT_EQ(FindControl(1015)->label_id, 1277);
  EXPECT_EQ(FindControl(1009)->label_id, kNoLabelId);
  EXPECT_EQ(FindControl(kCancelId)->label, "CANCEL");
  EXPECT_EQ(FindControl(4711), nullptr);
}

TEST(CabrilloFormExchangeTest, PushShowsTheMembersAndPullTakesTheTextsBack) {
  CabrilloForm form;
  form.Callsign = "DL1ABC";
  form.CategoryPower = "qrp";
  form.CategoryOperator = "MULTI";
  form.CategoryBand = "ALL";
  form.CategoryTime = "48-HOURS";
  form.SoapBox = "one\r\ntwo";
  form.ClaimedText = "60";
  std::map<int, ComboState> shown;
  for (const ControlState& s : PushForm(form)) shown[s.id] = s.state;
  EXPECT_EQ(shown.size(), 20u);
  EXPECT_EQ(shown[1010].text, "DL1ABC");
  EXPECT_EQ(shown[1010].selected, -1);
  EXPECT_EQ(shown[1015].text, "QRP");
  EXPECT_EQ(shown[1013].text, "MULTI-OP");
  EXPECT_EQ(shown[1013].selected, 1);
  EXPECT_EQ(shown[1017].selected, 0);
  EXPECT_EQ(shown[1021].text, "48-HOURS");
  EXPECT_EQ(shown[1021].selected, -1);
  EXPECT_EQ(shown[1022].text, "");
  EXPECT_EQ(shown[1001].text, "one\r\ntwo");

  shown[1008].text = "999999";   // typed into CLAIMED
  shown[1022].text = "FOUR";     // typed into the transmitter combo
  CabrilloForm back = form;
  PullForm([&](int id) { return shown[id].text; }, back);
  EXPECT_EQ(back.ClaimedText, "60");
  EXPECT_EQ(back.CategoryTransmitter, "FOUR");
  EXPECT_EQ(back.CategoryPower, "QRP");
  EXPECT_EQ(back.CategoryOperator, "MULTI-OP");
  EXPECT_EQ(back.CategoryTime, "48-HOURS");
  EXPECT_EQ(back.SoapBox, "one\r\ntwo");
  EXPECT_EQ(back.Callsign, "DL1ABC");
}

}  // namespace
}  // namespace velmora
