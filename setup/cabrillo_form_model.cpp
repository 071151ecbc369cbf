#include "setup/cabrillo_form_model.h"

#include <algorithm>

#include "engine/contest_rules.h"

namespace velmora {

namespace {

using Field = std::string CabrilloForm::*;

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return Lower(x) < Lower(y); });
}

bool BeginsIgnoringCase(std::string_view text, std::string_view start) {
  return text.size() >= start.size() && EqualsIgnoringCase(text.substr(0, start.size()), start);
}

bool IsCombo(ControlKind kind) {
  return kind == ControlKind::kSortedCombo || kind == ControlKind::kUnsortedCombo;
}

FormControl Control(int id, ControlKind kind, const char* label, int label_x, int label_y,
                    FormRect rect, Field field) {
  FormControl c;
  c.id = id;
  c.kind = kind;
  c.label = label;
  c.label_x = label_x;
  c.label_y = label_y;
  c.rect = rect;
  c.field = field;
  c.pulled_back = field != nullptr;
  c.tab_stop = IsCombo(kind);
  return c;
}

FormControl Combo(int id, ControlKind kind, const char* label, int label_x, int label_y,
                  FormRect rect, Field field, std::vector<std::string> list_data) {
  FormControl c = Control(id, kind, label, label_x, label_y, rect, field);
  c.items = ShownOrder(kind, std::move(list_data));
  return c;
}

FormControl Disabled(FormControl c, bool shown = true) {
  c.enabled = false;
  c.shown = shown;
  return c;
}

FormControl WithLabelId(FormControl c, int label_id) {
  c.label_id = label_id;
  return c;
}

FormControl WithTabStop(FormControl c) {
  c.tab_stop = true;
  return c;
}

std::vector<FormControl> BuildControls() {
  using K = ControlKind;
  using F = CabrilloForm;
  FormControl claimed = Control(1008, K::kEdit, "CLAIMED", 149, 25, {184, 23, 61, 12},
                                &F::ClaimedText);
  claimed.pulled_back = false;  // the claimed score comes from the result
  return {
      Control(1009, K::kEdit, "CONTEST", 10, 10, {55, 9, 190, 12}, &F::Contest),
      Control(1010, K::kEdit, "CALLSIGN", 9, 25, {55, 23, 88, 12}, &F::Callsign),
      claimed,
      Combo(1013, K::kSortedCombo, "CATEGORY-OPERATOR", 9, 42, {109, 39, 88, 58},
            &F::CategoryOperator, {"SINGLE-OP", "MULTI-OP", "CHECKLOG"}),
      WithLabelId(Combo(1017, K::kUnsortedCombo, "CATEGORY-BAND", 9, 55, {109, 52, 88, 91},
                        &F::CategoryBand,
                        {"ALL", "160M", "80M", "40M", "20M", "15M", "10M", "80M-40M",
                         "20M-15M-10M"}),
                  1016),
      WithLabelId(Combo(1015, K::kSortedCombo, "CATEGORY-POWER", 9, 69, {109, 65, 88, 58},
                        &F::CategoryPower, {"HIGH", "LOW", "QRP"}),
                  1277),
      Disabled(Combo(1021, K::kSortedCombo, "CATEGORY-TIME", 10, 81, {109, 79, 88, 49},
                     &F::CategoryTime, {"12-HOURS", "24-HOURS"})),
      WithLabelId(Combo(1022, K::kSortedCombo, "CATEGORY-TRANSMITTER", 9, 93,
                        {109, 92, 88, 49}, &F::CategoryTransmitter,
                        {"ONE", "TWO", "UNLIMITED"}),
                  1029),
      WithLabelId(Disabled(Combo(1014, K::kSortedCombo, "CATEGORY-OVERLAY", 9, 107,
                                 {109, 104, 88, 49}, &F::CategoryOverlay, {"JUNIOR"})),
                  1030),
      WithLabelId(Disabled(Combo(932, K::kSortedCombo, "CATEGORY-STATION", 9, 120,
                                 {109, 117, 88, 49}, &F::CategoryStation,
                                 {"FIXED", "PORTABLE"})),
                  933),
      WithLabelId(Disabled(Control(1000, K::kMultiLineEdit, "OFFTIME", 11, 147,
                                   {55, 133, 189, 33}, &F::OffTime),
                           /*shown=*/false),
                  1018),
      Control(1007, K::kEdit, "NAME", 10, 170, {55, 168, 191, 12}, &F::Name),
      WithTabStop(Control(1002, K::kEdit, "ADDRESS", 10, 184, {54, 182, 192, 12}, &F::Address)),
      WithTabStop(Control(1024, K::kEdit, "ADDRESS-CITY", 9, 200, {67, 197, 179, 15},
                          &F::AddressCity)),
      WithTabStop(Control(1026, K::kEdit, "ADDRESS-POSTALCODE", 9, 218, {101, 214, 145, 15},
                          &F::AddressPostalCode)),
      WithTabStop(Control(1028, K::kEdit, "ADDRESS-COUNTRY", 10, 233, {101, 231, 145, 15},
                          &F::AddressCountry)),
      Control(1006, K::kEdit, "OPERATORS", 10, 250, {55, 248, 191, 12}, &F::Operators),
      Control(1005, K::kEdit, "CLUB", 10, 265, {55, 262, 191, 12}, &F::Club),
      WithTabStop(Control(1001, K::kMultiLineEdit, "SOAPBOX", 10, 292, {55, 278, 191, 31},
                          &F::SoapBox)),
      Control(1004, K::kEdit, "E-MAIL", 10, 313, {55, 310, 191, 12}, &F::Email),
      Control(kOkId, K::kButton, "OK", 0, 0, {81, 335, 51, 21}, nullptr),
      Control(kCancelId, K::kButton, "CANCEL", 0, 0, {145, 335, 46, 21}, nullptr),
  };
}

}  // namespace

// Never destroyed, like the contest's lists: no exit handler of the process
// frees it.
const std::vector<FormControl>& CabrilloControls() {
  static const std::vector<FormControl>& controls = *new std::vector<FormControl>(BuildControls());
  return controls;
}

const FormControl* FindControl(int id) {
  for (const FormControl& c : CabrilloControls())
    if (c.id == id) return &c;
  return nullptr;
}

std::vector<std::string> ShownOrder(ControlKind kind, std::vector<std::string> list_data) {
  if (kind == ControlKind::kSortedCombo)
    std::stable_sort(list_data.begin(), list_data.end(), LessIgnoringCase);
  return list_data;
}

ComboState ComboPush(const std::vector<std::string>& items, std::string_view member) {
  if (member.empty()) return {};
  for (std::size_t i = 0; i < items.size(); ++i)
    if (BeginsIgnoringCase(items[i], member)) return {static_cast<int>(i), items[i]};
  return {-1, std::string(member)};
}

std::vector<ControlState> PushForm(const CabrilloForm& form) {
  std::vector<ControlState> states;
  for (const FormControl& c : CabrilloControls()) {
    if (c.field == nullptr) continue;
    const std::string& member = form.*c.field;
    states.push_back({c.id, IsCombo(c.kind) ? ComboPush(c.items, member)
                                            : ComboState{-1, member}});
  }
  return states;
}

void PullForm(const std::function<std::string(int id)>& current_text, CabrilloForm& form) {
  for (const FormControl& c : CabrilloControls())
    if (c.pulled_back) form.*c.field = current_text(c.id);
}

}  // namespace velmora
