// The organisers' console as they meet it, in the browser: log in, chase the
// missing logs, close the submissions, admit a late log, rule on a QSO line,
// run the check, publish; then the public results and an entrant's report.
// Every page is reached through the links and buttons of the one before.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "robot/browser/robot_browser_fixture.h"

namespace velmora::robot::browser {
namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::Pair;
using ::testing::StartsWith;

// Every public log of one real round, 16:30 to 17:29 UTC.
const std::string kRound = kSourceDir + "/testdata/real-contest/mwc-2020-01-13";
// Logs sent before the close, in name order; the next one comes late.
constexpr std::size_t kOnTime = 20;
constexpr int kMissingThreshold = 3;
constexpr std::chrono::seconds kRunTimeout(30);

using Rows = std::vector<std::vector<std::string>>;

class ConsoleInBrowser : public RobotBrowserFixture {
 protected:
  std::string ConfigText() const override {
    return "contest-start = 2020-01-13 16:30\n"
           "contest-end = 2020-01-13 17:29\n"
           "category-mode = CW MIXED\n"
           "uploads-per-minute = 1000\n"
           "missing-threshold = " + std::to_string(kMissingThreshold) + "\n";
  }

  // Sends a log as the entrants' API takes it; the answer's JSON.
  Json Upload(const fs::path& file) {
    httplib::Client http("127.0.0.1", port_);
    http.set_read_timeout(30, 0);
    const httplib::MultipartFormDataItems items = {
        {"log", velmora::testing::ReadWholeFile(file.string()), file.filename().string(),
         "text/plain"}};
    const httplib::Result answer = http.Post("/api/submit", items);
    if (!answer) {
      ADD_FAILURE() << file << ": " << httplib::to_string(answer.error());
      return Json::object();
    }
    EXPECT_EQ(answer->status, 200) << file << ": " << answer->body;
    return Json::parse(answer->body, nullptr, false);
  }

  // Follows a link of the page shown, by its text.
  void Follow(const std::string& link_text) {
    driver_->ClickAndWaitForNextPage(driver_->FindLink(link_text));
  }

  void Press(const std::string& button_css) {
    driver_->ClickAndWaitForNextPage(driver_->Find(button_css));
  }

  // The cells' texts of each body row of the page's table, read at once (a
  // page that refreshes itself cannot change between two cells).
  Rows TableRows(const std::string& table_css = "main table") {
    const Json rows = driver_->Execute(
        "return Array.from(document.querySelectorAll(arguments[0])).map("
        "r => Array.from(r.cells).map(c => c.innerText.trim()));",
        Json::array({table_css + " > tbody > tr"}));
    return rows.get<Rows>();
  }

  std::vector<std::string> Headings(const std::string& table_css = "main table") {
    return TextsOf(table_css + " > thead th");
  }

  // The browser's cookie of that name, or null.
  Json Cookie(const std::string& name) {
    for (const Json& cookie : driver_->Cookies())
      if (cookie.value("name", "") == name) return cookie;
    return nullptr;
  }

  // Picks the option shown as `text` in the select `css`.
  void Choose(const std::string& css, const std::string& text) {
    for (const WebDriver::Element& option : driver_->FindAll(css + " > option"))
      if (driver_->Text(option) == text) return driver_->Click(option);
    ADD_FAILURE() << css << " has no option " << text;
  }

  void FillRuling(const std::string& call, int line, const std::string& verdict,
                  const std::string& reason) {
    driver_->SendKeys(driver_->Find("input#log"), call);
    driver_->SendKeys(driver_->Find("input#line"), std::to_string(line));
    Choose("select#verdict", verdict);
    EXPECT_EQ(driver_->Property(driver_->Find("select#verdict"), "value"), verdict);
    driver_->SendKeys(driver_->Find("input#reason"), reason);
  }
};

// The calls a log has in its QSO lines, each once. A line without its ten
// fields (a serial left blank) is not read, and holds no call.
std::set<std::string> Worked(const fs::path& file) {
  std::set<std::string> calls;
  for (const std::string& line : Lines(velmora::testing::ReadWholeFile(file.string())))
    if (line.rfind("QSO:", 0) == 0)
      if (const std::vector<std::string> words = Words(line); words.size() == 11) {
        std::string call = words[8];
        std::transform(call.begin(), call.end(), call.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        calls.insert(call);
      }
  return calls;
}

// The number (1-based) of the file's first QSO line.
int FirstQsoLine(const fs::path& file) {
  const std::vector<std::string> lines = Lines(velmora::testing::ReadWholeFile(file.string()));
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].rfind("QSO:", 0) == 0) return static_cast<int>(i) + 1;
  return 0;
}

TEST_F(ConsoleInBrowser, OrganisersCloseAdmitRuleCheckAndPublish) {
  ASSERT_FALSE(password_.empty()) << "the robot did not print the organisers' password";
  std::vector<fs::path> files;
  for (const fs::directory_entry& entry : fs::directory_iterator(kRound))
    if (entry.path().extension() == ".log") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  ASSERT_GT(files.size(), kOnTime) << kRound;

  // The first logs, in time. What they hold makes the missing logs: the
  // calls at least kMissingThreshold of them worked that sent none.
  std::map<std::string, std::string> tokens;
  std::map<std::string, int> holders;
  for (std::size_t i = 0; i < kOnTime; ++i) {
    const Json answer = Upload(files[i]);
    ASSERT_EQ(answer.value("status", ""), "accepted") << files[i] << ": " << answer.dump();
    EXPECT_EQ(answer.value("late", true), false) << files[i];
    const std::string call = answer.value("call", "");
    ASSERT_EQ(call, files[i].stem().string());
    tokens[call] = answer.value("token", "");
    ASSERT_THAT(tokens[call], Not(IsEmpty())) << call;
    for (const std::string& worked : Worked(files[i])) ++holders[worked];
  }
  std::vector<std::pair<int, std::string>> missing;
  for (const auto& [call, logs] : holders)
    if (logs >= kMissingThreshold && !tokens.count(call)) missing.push_back({-logs, call});
  std::sort(missing.begin(), missing.end());  // the most held first, then by call
  Rows expected_missing;
  for (const auto& [minus_logs, call] : missing)
    expected_missing.push_back({call, std::to_string(-minus_logs)});
  // The next log in name order comes late; until then its call is missing.
  const fs::path late_file = files[kOnTime];
  const std::string late_call = late_file.stem().string();
  ASSERT_THAT(expected_missing, Contains(ElementsAre(late_call, ::testing::_)))
      << "the round's logs have changed: pick a late log whose call the first ones hold";
  // The entrant whose report is read, with a ruling on its first QSO line.
  const fs::path entrant_file = files[0];
  const std::string entrant = entrant_file.stem().string();
  const std::string other = files[1].stem().string();
  const int ruled_line = FirstQsoLine(entrant_file);
  ASSERT_GT(ruled_line, 1) << entrant_file;

  // Without a session the console sends the organiser to the login.
  driver_->Navigate(Url("/admin"));
  EXPECT_EQ(driver_->PageStatus(), 403);
  EXPECT_EQ(TextOf("h1"), "Organisers only");
  EXPECT_EQ(Cookie("velmora_session"), nullptr);
  Follow("Log in");
  ASSERT_EQ(driver_->Url(), Url("/admin/login"));
  EXPECT_EQ(TextOf("h1"), "Organisers' login");
  EXPECT_THAT(FormLabels(), ElementsAre(Pair("name", StartsWith("Your name")),
                                        Pair("password", "Organisers' password")));
  driver_->SendKeys(driver_->Find("input#name"), "Duty Organiser");
  driver_->SendKeys(driver_->Find("input#password"), password_);
  Press("main form button[type=submit]");
  ASSERT_EQ(driver_->Url(), Url("/admin")) << TextOf("main");
  ASSERT_EQ(TextOf("h1"), "Console");
  const Json session = Cookie("velmora_session");
  ASSERT_TRUE(session.is_object()) << driver_->Cookies().dump();
  const std::string session_id = session.value("value", "");
  EXPECT_THAT(session_id, Not(IsEmpty()));
  EXPECT_EQ(session.value("httpOnly", false), true) << session.dump();
  EXPECT_EQ(session.value("sameSite", ""), "Strict") << session.dump();
  EXPECT_EQ(session.value("path", ""), "/") << session.dump();
  EXPECT_TRUE(session.contains("expiry")) << "a session cookie that outlives its 8 hours";
  const std::string console = TextOf("main");
  EXPECT_THAT(console, HasSubstr("Logged in as Duty Organiser. " + std::to_string(kOnTime) +
                                 " calls have sent " + std::to_string(kOnTime) + " versions."));
  EXPECT_THAT(console, HasSubstr("Submissions: open"));
  EXPECT_THAT(console, HasSubstr("Published: nothing"));
  Picture("console.png");

  // The calls to chase, the most held first.
  Follow("Missing logs");
  ASSERT_EQ(TextOf("h1"), "Missing logs");
  EXPECT_EQ(TextOf("main > p"), "Calls that at least " + std::to_string(kMissingThreshold) +
                                    " received logs hold but that sent no log: " +
                                    std::to_string(expected_missing.size()) + ".");
  EXPECT_THAT(Headings(), ElementsAre("Call", "Logs that hold it"));
  EXPECT_EQ(TableRows(), expected_missing);
  Picture("missing.png");

  // Closed: the Close button goes, and the next log is late.
  Follow("Console");
  Press("form[action=\"/admin/close\"] button");
  ASSERT_EQ(driver_->Url(), Url("/admin"));
  EXPECT_THAT(TextOf("main"), HasSubstr("Submissions: closed at "));
  EXPECT_THAT(driver_->FindAll("form[action=\"/admin/close\"]"), IsEmpty());
  const Json late = Upload(late_file);
  ASSERT_EQ(late.value("status", ""), "accepted") << late.dump();
  EXPECT_EQ(late.value("late", false), true) << "a log after the Close is late";
  const std::string late_receipt = late.value("receipt", "");
  ASSERT_THAT(late_receipt, Not(IsEmpty()));
  tokens[late_call] = late.value("token", "");
  // A late log is still a log sent: its call is no longer missing.
  Follow("Missing logs");
  EXPECT_THAT(TableRows(), Not(Contains(ElementsAre(late_call, ::testing::_))));

  // The late log waits for a decision; admitted, it counts.
  Follow("Submissions");
  ASSERT_EQ(TextOf("h1"), "Submissions");
  EXPECT_THAT(Headings(), ElementsAre("Call", "Version", "Received (UTC)", "State", "QSOs",
                                      "Score", "Warnings", "Log", "Decision"));
  auto row_of = [](const Rows& rows, const std::string& call) {
    for (const std::vector<std::string>& row : rows)
      if (!row.empty() && row[0] == call) return row;
    return std::vector<std::string>();
  };
  Rows rows = TableRows();
  EXPECT_EQ(rows.size(), kOnTime + 1);
  std::vector<std::string> row = row_of(rows, late_call);
  ASSERT_EQ(row.size(), 9u) << late_call << " is not listed";
  EXPECT_THAT(row[2], ::testing::EndsWith(" late"));
  EXPECT_EQ(row[3], "late");
  EXPECT_EQ(row_of(rows, entrant).at(3), "counts");
  const std::string decision_form =
      "form[action=\"/admin/decision\"]:has(input[name=receipt][value=\"" + late_receipt + "\"])";
  ASSERT_EQ(driver_->FindAll(decision_form).size(), 1u);
  EXPECT_EQ(TextOf("label[for=\"reason-" + late_receipt + "\"]"), "Reason");
  const std::string admitted = "Sent before the close; the mail relay held it";
  driver_->SendKeys(driver_->Find(decision_form + " input[name=reason]"), admitted);
  Press(decision_form + " button[value=admit]");
  ASSERT_EQ(driver_->Url(), Url("/admin/submissions")) << TextOf("main");
  row = row_of(TableRows(), late_call);
  ASSERT_EQ(row.size(), 9u);
  EXPECT_EQ(row[3], "admitted: " + admitted);
  // The picture shows the admitted log's row.
  driver_->Execute("document.querySelector(arguments[0]).scrollIntoView({block: 'center'});",
                   Json::array({decision_form}));
  Picture("submissions.png");
  // The form that picks a call is a plain GET: the view is an address to keep.
  driver_->SendKeys(driver_->Find("#call"), late_call);
  Press("main form[method=get] button");
  ASSERT_EQ(driver_->Url(), Url("/admin/submissions?call=" + late_call)) << TextOf("main");
  rows = TableRows();
  ASSERT_THAT(rows, Not(IsEmpty()));
  for (const std::vector<std::string>& r : rows) EXPECT_THAT(r.at(0), HasSubstr(late_call));
  EXPECT_EQ(row_of(rows, late_call).at(3), "admitted: " + admitted);

  // A ruling on a QSO line; one on a header line is refused, and says why.
  Follow("Rulings");
  ASSERT_EQ(TextOf("h1"), "Rulings");
  EXPECT_THAT(FormLabels("main form"),
              ElementsAre(Pair("line", "Line"), Pair("log", "Log (call)"),
                          Pair("reason", "Reason"), Pair("verdict", "Verdict")));
  EXPECT_THAT(TableRows(), IsEmpty());
  const std::string ruled = "The other station's log shows no such QSO at that time";
  FillRuling(entrant, ruled_line, "nil", ruled);
  Press("main form button[type=submit]");
  ASSERT_EQ(driver_->Url(), Url("/admin/rulings")) << TextOf("main");
  EXPECT_EQ(driver_->PageStatus(), 200) << TextOf("main");
  rows = TableRows();
  ASSERT_EQ(rows.size(), 1u) << TextOf("main");
  ASSERT_EQ(rows[0].size(), 7u);
  EXPECT_EQ(rows[0][0], entrant);
  EXPECT_EQ(rows[0][1], std::to_string(ruled_line));
  EXPECT_EQ(rows[0][2], "nil");
  EXPECT_EQ(rows[0][3], ruled);
  EXPECT_EQ(rows[0][4], "Duty Organiser");
  EXPECT_EQ(rows[0][6], "Withdraw");
  Picture("rulings.png");

  FillRuling(entrant, 1, "nil", "A header line");
  Press("main form button[type=submit]");
  EXPECT_EQ(driver_->PageStatus(), 422);
  EXPECT_EQ(TextOf("p.rejected"), "line 1 of " + entrant + "'s log (version 1) is not a QSO line");
  EXPECT_EQ(TableRows().size(), 1u) << "a refused ruling was kept";

  // The check, until its run is done; then published.
  Follow("Check runs");
  ASSERT_EQ(TextOf("h1"), "Check runs");
  EXPECT_THAT(Headings(), ElementsAre("Run", "Started (UTC)", "State", "Logs", "Files",
                                      "Publish"));
  EXPECT_THAT(TableRows(), IsEmpty());
  Press("main form[action=\"/admin/check\"] button");
  ASSERT_EQ(driver_->Url(), Url("/admin/runs")) << TextOf("main");
  const Deadline run_deadline = After(kRunTimeout);
  std::string state;
  while (true) {
    try {
      rows = TableRows();
      state = rows.size() == 1 && rows[0].size() == 6 ? rows[0][2] : "";
      if (state.rfind("running", 0) == 0) {
        EXPECT_EQ(driver_->FindAll("meta[http-equiv=refresh]").size(), 1u)
            << "a running check's page does not refresh itself";
      }
    } catch (const WebDriverError&) {
      // The page refreshed itself meanwhile: read it again.
      state.clear();
    }
    if (state == "done" || state.rfind("failed", 0) == 0 || state.rfind("interrupted", 0) == 0)
      break;
    ASSERT_LT(std::chrono::steady_clock::now(), run_deadline)
        << "the check was not done within 30 s; its state: " << state;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    driver_->Navigate(Url("/admin/runs"));
  }
  ASSERT_EQ(state, "done");
  EXPECT_THAT(driver_->FindAll("meta[http-equiv=refresh]"), IsEmpty())
      << "the page goes on refreshing itself after the run";
  EXPECT_EQ(rows[0][0], "1");
  EXPECT_EQ(rows[0][3], std::to_string(kOnTime + 1)) << "the admitted late log is checked too";
  EXPECT_EQ(rows[0][4], "results zip");
  Press("form[action=\"/admin/publish\"] button");
  ASSERT_EQ(driver_->Url(), Url("/admin/runs")) << TextOf("main");
  rows = TableRows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].at(5), "published");
  EXPECT_EQ(TextOf("form[action=\"/admin/withdraw\"] button"), "Withdraw the results");
  Picture("runs.png");

  // Log out: the cookie goes, and the session is over at the robot too.
  Follow("Console");
  EXPECT_THAT(TextOf("main"), HasSubstr("Published: run 1"));
  Press("form[action=\"/admin/logout\"] button");
  ASSERT_EQ(driver_->Url(), Url("/admin/login"));
  EXPECT_EQ(Cookie("velmora_session"), nullptr);
  driver_->Navigate(Url("/admin"));
  EXPECT_EQ(driver_->PageStatus(), 403);
  EXPECT_EQ(TextOf("h1"), "Organisers only");
  {
    httplib::Client http("127.0.0.1", port_);
    const httplib::Result old = http.Get("/admin/runs", {{"Cookie", "velmora_session=" + session_id}});
    ASSERT_TRUE(old) << httplib::to_string(old.error());
    EXPECT_EQ(old->status, 403) << "the session outlives its Log out";
  }

  // The results, for anyone, through the public pages' links: every call,
  // the admitted late one too.
  driver_->Navigate(Url("/"));
  Follow("Results");
  ASSERT_EQ(driver_->Url(), Url("/results"));
  EXPECT_EQ(driver_->PageStatus(), 200);
  std::vector<std::string> listed = TextsOf("td.call");
  std::sort(listed.begin(), listed.end());
  std::vector<std::string> calls;
  for (const auto& [call, token] : tokens) calls.push_back(call);
  EXPECT_EQ(listed, calls);
  // The page's own style block gets through its Content-Security-Policy.
  EXPECT_EQ(driver_->Execute("return getComputedStyle(document.body).fontFamily;"), "sans-serif")
      << "the results page is shown without its style";
  EXPECT_THAT(driver_->FindAll("td.call a"), IsEmpty())
      << "the public results link to reports only their entrants may read";
  Picture("results.png");

  // The entrant's report, with its token: the check's figures and the ruling.
  driver_->Navigate(Url("/report/" + entrant + "?token=" + tokens[entrant]));
  EXPECT_EQ(driver_->PageStatus(), 200);
  ASSERT_EQ(TextOf("h1"), "Report of " + entrant) << TextOf("main");
  const std::string report = TextOf("pre.report");
  EXPECT_THAT(report, StartsWith("Velmora Memorial Contest HF: log check of " + entrant));
  EXPECT_THAT(report, HasSubstr("Rulings of the organisers:\n  line " + std::to_string(ruled_line)));
  EXPECT_THAT(report, HasSubstr("-> nil: " + ruled));
  EXPECT_THAT(report, HasSubstr("File: " + entrant + ".log\n"))
      << "the report names the log, not the robot's folders";
  Picture("report.png");
  Follow("as text");
  EXPECT_EQ(driver_->PageStatus(), 200);
  EXPECT_THAT(TextOf("body"), StartsWith("Velmora Memorial Contest HF: log check of " + entrant));

  // Another call's token opens nothing.
  driver_->Navigate(Url("/report/" + entrant + "?token=" + tokens[other]));
  EXPECT_EQ(driver_->PageStatus(), 403);
  EXPECT_EQ(TextOf("h1"), "Not your report");
  EXPECT_THAT(driver_->FindAll("pre.report"), IsEmpty());
  EXPECT_EQ(driver_->PageSource().find("log check of"), std::string::npos);
}

}  // namespace
}  // namespace velmora::robot::browser
