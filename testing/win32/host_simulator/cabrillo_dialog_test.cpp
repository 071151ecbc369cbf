// The Cabrillo header form as the operator meets it: a rebuild with the
// export flag opens it modally on the host's thread; a second thread of the
// simulator finds it by its caption, reads and edits it, and closes it the
// way an operator would, then dismisses the "Output" box of the result.

#include "platform/win32/windows_api.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <thread>

#include "testing/win32/host_simulator/dialog_operator.h"
#include "testing/win32/host_simulator/host_simulator_fixture.h"
#include "testing/win32/host_simulator/plugin_windows.h"
#include "setup/cabrillo_form_model.h"
#include "testing/whole_file.h"

namespace velmora::testing {
namespace {

using std::chrono::milliseconds;

constexpr char kCaption[] = "Velmora Memorial Contest HF";
constexpr milliseconds kShowTimeout{20000};
constexpr int kMessageBoxIcon = 0x440;  // the icon control of a message box

// A first run gives a claimed score of 3 (one F station from DL, EU).
constexpr char kFirstRun[] =
    "reset - 0 DL1ABC 2017-06-03 12:00 2017-06-04 11:59 DL EU\n"
    "add DL1ABC F5ABC 2017-06-03 13:00 14025000 CW 599 001 599 007 F EU 20m\n"
    "result\n";
// The host's export: a reset with the flag, the log again, the result.
constexpr char kExport[] =
    "reset - 1 DL1ABC 2017-06-03 12:00 2017-06-04 11:59 DL EU\n"
    "add DL1ABC F5ABC 2017-06-03 13:00 14025000 CW 599 001 599 007 F EU 20m\n"
    "result\n";

using velmora::testing::ReadWholeFile;

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::map<int, std::string> FieldTexts(HWND dialog) {
  std::map<int, std::string> texts;
  for (const FormControl& c : CabrilloControls())
    if (c.field != nullptr) texts[c.id] = ItemText(dialog, c.id);
  return texts;
}

void SelectItem(HWND dialog, int combo, const char* item) {
  ::SendDlgItemMessageA(dialog, combo, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                        reinterpret_cast<LPARAM>(item));
}

void PressButton(HWND dialog, int id) {
  ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

struct MessageBoxSeen {
  std::string caption;
  std::string text;
  bool information_icon = false;
};

// The operator's side of one export: `at_form` runs while the form is open
// (and closes it); every message box of the host's thread is recorded and
// dismissed until the host's calls are done.
class Operator {
 public:
  explicit Operator(std::function<void(HWND)> at_form)
      : host_thread_(::GetCurrentThreadId()), at_form_(std::move(at_form)),
        thread_([this] { Run(); }) {}
  ~Operator() { HostDone(); }

  void HostDone() {
    host_done_ = true;
    if (thread_.joinable()) thread_.join();
  }
  bool saw_form() const { return saw_form_; }
  const std::vector<MessageBoxSeen>& boxes() const { return boxes_; }

 private:
  void Run() {
    if (HWND form = WaitForDialog(host_thread_, kCaption, kShowTimeout, &host_done_)) {
      saw_form_ = true;
      at_form_(form);
    }
    while (!host_done_) {
      HWND box = WaitForDialog(host_thread_, "Output", milliseconds(100), &host_done_);
      if (box == nullptr) continue;
      HICON icon = reinterpret_cast<HICON>(
          ::SendDlgItemMessageA(box, kMessageBoxIcon, STM_GETICON, 0, 0));
      boxes_.push_back({WindowText(box), ItemText(box, 0xFFFF),
                        icon != nullptr && icon == ::LoadIconA(nullptr, IDI_INFORMATION)});
      PressButton(box, IDOK);
      while (::IsWindow(box) && !host_done_) std::this_thread::sleep_for(milliseconds(10));
    }
  }

  unsigned long host_thread_;
  std::function<void(HWND)> at_form_;
  std::atomic<bool> host_done_{false};
  bool saw_form_ = false;
  std::vector<MessageBoxSeen> boxes_;
  std::thread thread_;
};

class CabrilloDialogTest : public HostSimulatorTest {
 protected:
  // "Start" at 1, so that the resets open no setup window.
  CabrilloDialogTest() {
    std::ofstream(folder_.path() / "Plugins" / "Velmora.ini", std::ios::binary)
        << "[Settings]\r\nStart=1\r\n";
  }

  std::string Settings() const { return ReadWholeFile(folder_.path() / "Plugins" / "Velmora.ini"); }
  std::string CabrilloFile() const { return ReadWholeFile(folder_.path() / "DL1ABC.cbr"); }
  bool CabrilloFileExists() const {
    return std::filesystem::exists(folder_.path() / "DL1ABC.cbr");
  }
};

// Where a rectangle in dialog units lands in the dialog's client area, in
// pixels; the size is mapped on its own, as the template's controls are.
RECT Pixels(HWND dialog, int x, int y, int width, int height) {
  RECT r{x, y, width, height};
  ::MapDialogRect(dialog, &r);
  return r;
}

RECT PlaceInDialog(HWND dialog, HWND control) {
  RECT r;
  ::GetWindowRect(control, &r);
  ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

std::string Describe(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right) +
         "x" + std::to_string(r.bottom);
}

std::string ClassName(HWND window) {
  char name[64] = "";
  ::GetClassNameA(window, name, sizeof name);
  return name;
}

bool Has(LONG style, LONG bits) { return (style & bits) == bits; }

// Every way the open form differs from the form's description.
std::vector<std::string> LayoutProblems(HWND dialog) {
  std::vector<std::string> problems;
  auto check = [&](bool ok, const std::string& what) {
    if (!ok) problems.push_back(what);
  };

  const LONG style = ::GetWindowLongA(dialog, GWL_STYLE);
  check(Has(style, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX |
                       DS_MODALFRAME),
        "dialog style");
  check(::GetWindow(dialog, GW_OWNER) == nullptr, "the form has an owner");
  RECT client;
  ::GetClientRect(dialog, &client);
  const RECT size = Pixels(dialog, 0, 0, kCabrilloFormWidth, kCabrilloFormHeight);
  check(client.right == size.right && client.bottom == size.bottom,
        "client size " + std::to_string(client.right) + "x" + std::to_string(client.bottom));
  // The template places the client area; the system then moves the frame
  // down until the caption is on the screen, so only the left edge stays.
  POINT origin{0, 0};
  ::ClientToScreen(dialog, &origin);
  check(origin.x == Pixels(dialog, 3, 1, 0, 0).left, "client left " + std::to_string(origin.x));

  // The direct children in tab order: the hidden group box, then each
  // label before its control.
  std::vector<HWND> children;
  for (HWND c = ::GetWindow(dialog, GW_CHILD); c != nullptr; c = ::GetWindow(c, GW_HWNDNEXT))
    children.push_back(c);
  std::size_t next = 0;
  auto take = [&]() -> HWND { return next < children.size() ? children[next++] : nullptr; };

  HWND group = take();
  check(group != nullptr && ClassName(group) == "Button" &&
            (::GetWindowLongA(group, GWL_STYLE) & 0x0F) == BS_GROUPBOX &&
            !(::GetWindowLongA(group, GWL_STYLE) & WS_VISIBLE),
        "first child is not the hidden group box");

  for (const FormControl& c : CabrilloControls()) {
    const std::string name = c.label + " (" + std::to_string(c.id) + ")";
    if (c.kind != ControlKind::kButton) {
      HWND label = take();
      if (label == nullptr) break;
      const LONG s = ::GetWindowLongA(label, GWL_STYLE);
      check(ClassName(label) == "Static" && WindowText(label) == c.label, name + ": label");
      const int id = ::GetDlgCtrlID(label);
      check(c.label_id == kNoLabelId ? (id == -1 || id == 0xFFFF) : id == c.label_id,
            name + ": label id " + std::to_string(id));
      const RECT at = PlaceInDialog(dialog, label);
      const RECT want = Pixels(dialog, c.label_x, c.label_y, 0, 0);
      check(at.left == want.left && at.top == want.top, name + ": label at " + Describe(at));
      check(::IsWindowEnabled(label) == (c.enabled ? TRUE : FALSE), name + ": label enabled");
      check(((s & WS_VISIBLE) != 0) == c.shown, name + ": label shown");
    }

    HWND control = take();
    if (control == nullptr) break;
    const LONG s = ::GetWindowLongA(control, GWL_STYLE);
    check(::GetDlgCtrlID(control) == c.id, name + ": out of order");
    check(((s & WS_TABSTOP) != 0) == c.tab_stop, name + ": tab stop");
    check(::IsWindowEnabled(control) == (c.enabled ? TRUE : FALSE), name + ": enabled");
    check(((s & WS_VISIBLE) != 0) == c.shown, name + ": shown");

    const RECT at = PlaceInDialog(dialog, control);
    const RECT want = Pixels(dialog, c.rect.x, c.rect.y, c.rect.width, c.rect.height);
    const bool combo =
        c.kind == ControlKind::kSortedCombo || c.kind == ControlKind::kUnsortedCombo;
    // A closed combo is as high as its text part; the template's height is
    // that of the open list.
    check(at.left == want.left && at.top == want.top && at.right == want.right &&
              (combo || at.bottom == want.bottom),
          name + ": at " + Describe(at) + ", want " + Describe(want));

    switch (c.kind) {
      case ControlKind::kEdit:
        check(ClassName(control) == "Edit" && !(s & ES_MULTILINE), name + ": single-line edit");
        check(((s & ES_AUTOHSCROLL) != 0) == (c.id != 1002), name + ": auto-scroll");
        break;
      case ControlKind::kMultiLineEdit:
        check(ClassName(control) == "Edit" && Has(s, ES_MULTILINE | ES_WANTRETURN | WS_VSCROLL),
              name + ": multi-line edit");
        break;
      case ControlKind::kSortedCombo:
      case ControlKind::kUnsortedCombo:
        check(ClassName(control) == "ComboBox" && (s & 3) == CBS_DROPDOWN,
              name + ": drop-down combo");
        check(((s & CBS_SORT) != 0) == (c.kind == ControlKind::kSortedCombo),
              name + ": sorting");
        check(ComboItems(control) == c.items, name + ": list");
        break;
      case ControlKind::kButton:
        check(ClassName(control) == "Button" && WindowText(control) == c.label,
              name + ": button");
        break;
    }
  }
  check(next == children.size(), "children left over: " + std::to_string(children.size() - next));
  return problems;
}

TEST_F(CabrilloDialogTest, FormMatchesItsDescription) {
  std::vector<std::string> problems;
  std::string caption;
  Operator op([&](HWND form) {
    caption = WindowText(form);
    problems = LayoutProblems(form);
    PressButton(form, IDCANCEL);
  });
  RunScenario(kExport, library_.plain());
  op.HostDone();

  ASSERT_TRUE(op.saw_form());
  EXPECT_EQ(caption, kCaption);
  std::string all;
  for (const std::string& p : problems) all += p + "\n";
  EXPECT_EQ(all, "");
}

TEST_F(CabrilloDialogTest, FirstExportShowsStartValuesAndOkStoresTheEdits) {
  RunScenario(kFirstRun, library_.plain());
  ASSERT_TRUE(Contains(Settings(), "Claimed=3\r\n")) << Settings();

  std::map<int, std::string> shown;
  Operator op([&](HWND form) {
    shown = FieldTexts(form);
    ::SetDlgItemTextA(form, 1007, "Anna Example");
    ::SetDlgItemTextA(form, 1024, "Bonn");
    ::SetDlgItemTextA(form, 1001, "line one\r\nline two");
    ::SetDlgItemTextA(form, 1008, "999999");  // the result decides the score
    SelectItem(form, 1015, "QRP");
    SelectItem(form, 1013, "MULTI-OP");
    SelectItem(form, 1022, "TWO");
    std::filesystem::create_directories(std::string("Z:") + VELMORA_ARTIFACTS);
    EXPECT_TRUE(SaveScreenshot(form, VELMORA_ARTIFACTS "/cabrillo_dialog.png"));
    PressButton(form, IDOK);
  });
  const std::string transcript = RunScenario(kExport, library_.plain());
  op.HostDone();

  ASSERT_TRUE(op.saw_form()) << transcript;
  const std::map<int, std::string> start{
      {1009, "VELMORA"}, {1010, "DL1ABC"}, {1008, "3"},     {1013, "SINGLE-OP"},
      {1017, "ALL"},     {1015, "HIGH"},   {1021, ""},      {1022, ""},
      {1014, ""},        {932, ""},        {1000, ""},      {1007, ""},
      {1002, ""},        {1024, ""},       {1026, ""},      {1028, ""},
      {1006, "DL1ABC"},  {1005, ""},       {1001, ""},      {1004, ""}};
  EXPECT_EQ(shown, start);

  const std::string file = CabrilloFile();
  for (const char* line :
       {"CALLSIGN: DL1ABC\r\n", "CATEGORY-OPERATOR: MULTI-OP\r\n",
        "CATEGORY-TRANSMITTER: TWO\r\n", "CLAIMED-SCORE: 3\r\n", "NAME: Anna Example\r\n",
        "ADDRESS-CITY: Bonn\r\n", "SOAPBOX: line one\r\nSOAPBOX: line two\r\n"})
    EXPECT_TRUE(Contains(file, line)) << line << "in\n" << file;

  const std::string settings = Settings();
  for (const char* line : {"Power=QRP\r\n", "Category=MULTI-OP\r\n", "Name=Anna Example\r\n",
                           "Address_City=Bonn\r\n", "SoapBox=line one<CR><LF>line two\r\n",
                           "Contest=VELMORA\r\n"})
    EXPECT_TRUE(Contains(settings, line)) << line << "in\n" << settings;

  ASSERT_EQ(op.boxes().size(), 1u);
  EXPECT_EQ(op.boxes()[0].caption, "Output");
  EXPECT_EQ(op.boxes()[0].text, "File produced: DL1ABC.cbr");
  EXPECT_TRUE(op.boxes()[0].information_icon);

  // The next export offers the stored texts again, the categories from
  // their fixed values, and no transmitter.
  std::map<int, std::string> again;
  Operator next([&](HWND form) {
    again = FieldTexts(form);
    PressButton(form, IDCANCEL);
  });
  RunScenario(kExport, library_.plain());
  next.HostDone();
  ASSERT_TRUE(next.saw_form());
  EXPECT_EQ(again[1007], "Anna Example");
  EXPECT_EQ(again[1024], "Bonn");
  EXPECT_EQ(again[1001], "line one\r\nline two");
  EXPECT_EQ(again[1013], "SINGLE-OP");
  EXPECT_EQ(again[1015], "HIGH");
  EXPECT_EQ(again[1022], "");
}

TEST_F(CabrilloDialogTest, TextTypedIntoACategoryIsTakenAsItIs) {
  Operator op([&](HWND form) {
    ::SetDlgItemTextA(form, 1015, "100W");
    PressButton(form, IDOK);
  });
  RunScenario(kExport, library_.plain());
  op.HostDone();
  ASSERT_TRUE(op.saw_form());
  EXPECT_TRUE(Contains(Settings(), "Power=100W\r\n")) << Settings();
  EXPECT_TRUE(Contains(CabrilloFile(), "CATEGORY-POWER: 100W\r\n")) << CabrilloFile();
}

// How the operator leaves without confirming.
enum class Leave { kCancelButton, kEscape, kCloseBox };

class CabrilloCancelTest : public CabrilloDialogTest,
                           public ::testing::WithParamInterface<Leave> {};

TEST_P(CabrilloCancelTest, WritesNoFileAndStoresNothing) {
  Operator op([&](HWND form) {
    ::SetDlgItemTextA(form, 1007, "Anna Example");
    SelectItem(form, 1015, "QRP");
    switch (GetParam()) {
      case Leave::kCancelButton:
        PressButton(form, IDCANCEL);
        break;
      case Leave::kEscape:
        ::PostMessageA(form, WM_KEYDOWN, VK_ESCAPE, 0);
        break;
      case Leave::kCloseBox:
        ::PostMessageA(form, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    }
  });
  RunScenario(kExport, library_.plain());
  op.HostDone();

  ASSERT_TRUE(op.saw_form());
  EXPECT_FALSE(CabrilloFileExists());
  EXPECT_TRUE(op.boxes().empty());
  const std::string settings = Settings();
  for (const char* key : {"Name=", "Power=", "Category=", "Contest=", "SoapBox="})
    EXPECT_FALSE(Contains(settings, key)) << key << "in\n" << settings;
}

INSTANTIATE_TEST_SUITE_P(EveryWayOut, CabrilloCancelTest,
                         ::testing::Values(Leave::kCancelButton, Leave::kEscape,
                                           Leave::kCloseBox),
                         [](const auto& info) {
                           switch (info.param) {
                             case Leave::kCancelButton: return std::string("CancelButton");
                             case Leave::kEscape: return std::string("Escape");
                             case Leave::kCloseBox: return std::string("CloseBox");
                           }
                           return std::string();
                         });

}  // namespace
}  // namespace velmora::testing
