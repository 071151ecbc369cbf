#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "results/cabrillo_form.h"

namespace velmora {

// The Cabrillo header form as data: the platform dialog renders these
// controls and moves texts with PushForm / PullForm; it decides nothing.
// Positions and sizes are in dialog units.

constexpr char kCabrilloFormCaption[] = "Velmora Memorial Contest HF";
constexpr int kCabrilloFormWidth = 255;
constexpr int kCabrilloFormHeight = 382;
constexpr int kNoLabelId = -1;
constexpr int kOkId = 1;
constexpr int kCancelId = 2;

enum class ControlKind { kEdit, kMultiLineEdit, kSortedCombo, kUnsortedCombo, kButton };

struct FormRect {
  int x = 0, y = 0, width = 0, height = 0;
};

struct FormControl {
  int id = 0;
  ControlKind kind = ControlKind::kEdit;
  // The static text beside the control (a button's own text), its id and its
  // place; the label is shown and enabled like its control.
  std::string label;
  int label_id = kNoLabelId;
  int label_x = 0, label_y = 0;
  FormRect rect;
  bool enabled = true;
  bool shown = true;
  bool tab_stop = false;
  std::string CabrilloForm::*field = nullptr;  // none for the buttons
  bool pulled_back = false;                    // taken back on OK
  std::vector<std::string> items;              // a combo's list, in shown order
};

// Every control from top to bottom, the OK and CANCEL buttons last.
const std::vector<FormControl>& CabrilloControls();
const FormControl* FindControl(int id);

// The list as a combo shows it: sorted combos ascending, letter case ignored.
std::vector<std::string> ShownOrder(ControlKind kind, std::vector<std::string> list_data);

// What a combo shows for `member`: an empty member leaves the text empty and
// selects nothing; otherwise the first item (in shown order) that begins with
// the member, letter case ignored, is selected and shows its full text;
// otherwise the member shows unchanged with no selection.
struct ComboState {
  int selected = -1;
  std::string text;
};
ComboState ComboPush(const std::vector<std::string>& items, std::string_view member);

// The start state of every control that has a field, in control order.
struct ControlState {
  int id = 0;
  ComboState state;  // edits: no selection, the field's text
};
std::vector<ControlState> PushForm(const CabrilloForm& form);

// On OK: every pulled-back field becomes its control's current text (a
// combo's text part, picked or typed). CLAIMED is left alone.
void PullForm(const std::function<std::string(int id)>& current_text, CabrilloForm& form);

}  // namespace velmora
