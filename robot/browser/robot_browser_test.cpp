// The robot's pages as an entrant meets them: velmora-robot on loopback,
// Chromium driven through WebDriver, a picture of each page (the ones in
// docs/robot/ come from a run with VELMORA_ROBOT_PICTURES=docs/robot).

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <signal.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "robot/browser/child_process.h"
#include "robot/browser/web_driver.h"
#include "testing/temp_folder.h"
#include "testing/whole_file.h"

namespace velmora::robot::browser {
namespace {

namespace fs = std::filesystem;
using ::testing::AllOf;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::Pair;
using ::testing::StartsWith;

const std::string kSourceDir = VELMORA_SOURCE_DIR;
const std::string kSample = kSourceDir + "/examples/sample.cbr";
// Where the pictures go: the build folder, or VELMORA_ROBOT_PICTURES.
std::string PicturesDir() {
  const char* chosen = std::getenv("VELMORA_ROBOT_PICTURES");
  return chosen && *chosen ? chosen : VELMORA_PICTURES_DIR;
}
constexpr const char* kRobotProgram = VELMORA_ROBOT_PROGRAM;
constexpr const char* kDriverProgram = VELMORA_CHROMEDRIVER;
constexpr const char* kBrowserProgram = VELMORA_CHROMIUM;

// Generous: a CI machine may be building something else meanwhile.
constexpr std::chrono::seconds kStartTimeout(30);
constexpr int kDriverAttempts = 5;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

std::string Tail(const std::string& path, std::size_t max_lines) {
  std::vector<std::string> lines = Lines(velmora::testing::ReadWholeFile(path));
  if (lines.size() > max_lines) lines.erase(lines.begin(), lines.end() - max_lines);
  return Joined(lines);
}

class RobotPagesInBrowser : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // A peer that went away is a failed request to report, not a crash.
    ::signal(SIGPIPE, SIG_IGN);
    // The browser's helpers that outlive their parents come back here to be
    // ended and waited for.
    BecomeSubreaper();
  }

  void SetUp() override {
    ASSERT_FALSE(folder_.path().empty()) << "cannot make a temporary folder";
    for (const char* program : {kDriverProgram, kBrowserProgram})
      ASSERT_EQ(::access(program, X_OK), 0)
          << program
          << " is missing or not executable: the browser tests need Debian's chromium and "
          << "chromium-driver (bash scripts/install-deps.sh browser installs them)";
    ASSERT_NO_FATAL_FAILURE(StartRobot());
    ASSERT_NO_FATAL_FAILURE(StartDriver());
    try {
      driver_->NewSession({kBrowserProgram, folder_ / "profile"});
    } catch (const std::exception& e) {
      FAIL() << "the browser did not start: " << e.what() << "\n" << DriverLog();
    }
  }

  void TearDown() override {
    if (driver_) {
      try {
        driver_->DeleteSession();
      } catch (const std::exception& e) {
        ADD_FAILURE() << "the browser did not close: " << e.what();
      }
      driver_.reset();
    }
    if (HasFailure() && fs::exists(folder_ / "chromedriver.log")) std::cerr << DriverLog();
    driver_process_.Stop();
    if (robot_.pid() > 0) {
      const int status = robot_.Stop(std::chrono::seconds(10));
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
          << "velmora-robot did not end cleanly on SIGTERM (wait status " << status << ")";
    }
    ReapStrayChildren({}, std::chrono::seconds(3));
  }

  void StartRobot() {
    robot_.Start({{kRobotProgram, "--data", folder_ / "data", "--listen", "127.0.0.1:0"},
                  {},
                  /*pipe_stdout=*/true,
                  ""});
    const std::string listening = "velmora-robot: listening on http://127.0.0.1:";
    const Deadline deadline = After(kStartTimeout);
    bool timed_out = false;
    // Other lines (the organisers' password on a first start) come before.
    while (std::optional<std::string> line = robot_.ReadLine(deadline, timed_out)) {
      if (line->rfind(listening, 0) != 0) continue;
      port_ = std::atoi(line->c_str() + listening.size());
      ASSERT_GT(port_, 0) << *line;
      base_ = "http://127.0.0.1:" + std::to_string(port_);
      return;
    }
    FAIL() << (timed_out ? "velmora-robot did not listen within 30 s"
                         : "velmora-robot ended before it listened (its messages are above)");
  }

  // chromedriver listens on a port the system picks and tells which on
  // stdout ("started successfully on port N"). A driver that does not tell
  // gets a port that was free a moment ago, and another when something took
  // it meanwhile. Its own line is what shows it listens: a /status answer
  // alone could come from another program on that port.
  void StartDriver() {
    const fs::path home = folder_.path() / "home";
    const fs::path tmp = folder_.path() / "tmp";
    fs::create_directories(home);
    fs::create_directories(tmp);
    bool pick_port = false;
    for (int attempt = 1; attempt <= kDriverAttempts; ++attempt) {
      const int asked = pick_port ? PickFreePort() : 0;
      ChildProcess::Options options;
      options.argv = {kDriverProgram, "--port=" + std::to_string(asked),
                      "--log-path=" + (folder_ / "chromedriver.log")};
      // Everything the browser writes stays in the test's folder; no
      // display: the browser is headless.
      options.environment = {{"HOME", home.string()},
                             {"XDG_CONFIG_HOME", (home / ".config").string()},
                             {"XDG_CACHE_HOME", (home / ".cache").string()},
                             {"TMPDIR", tmp.string()},
                             {"DISPLAY", ""},
                             {"WAYLAND_DISPLAY", ""}};
      options.pipe_stdout = true;
      options.stderr_file = folder_ / "chromedriver.err";
      driver_process_.Start(options);
      const Deadline deadline = After(kStartTimeout);
      bool timed_out = false;
      int port = -1;  // none yet
      const std::string started = "started successfully on port ";
      while (std::optional<std::string> line = driver_process_.ReadLine(deadline, timed_out))
        if (const std::size_t at = line->find(started); at != std::string::npos) {
          port = std::atoi(line->c_str() + at + started.size());
          break;
        }
      ASSERT_FALSE(timed_out) << "chromedriver did not start within 30 s\n" << DriverLog();
      if (port <= 0) {
        // It ended (the port was taken), or listens where it does not say.
        driver_process_.Stop();
        pick_port = pick_port || port == 0;
        continue;
      }
      driver_ = std::make_unique<WebDriver>(port);
      while (!driver_->Ready()) {
        ASSERT_FALSE(driver_process_.Exited()) << "chromedriver ended\n" << DriverLog();
        ASSERT_LT(std::chrono::steady_clock::now(), deadline)
            << "chromedriver was not ready within 30 s\n"
            << DriverLog();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
      return;
    }
    FAIL() << "chromedriver did not listen in " << kDriverAttempts << " attempts\n" << DriverLog();
  }

  std::string DriverLog() {
    return "--- chromedriver's messages:\n" + Tail(folder_ / "chromedriver.err", 20) +
           "--- the end of chromedriver's log:\n" + Tail(folder_ / "chromedriver.log", 40);
  }

  std::string Url(const std::string& path) const { return base_ + path; }

  std::string TextOf(const std::string& css) { return driver_->Text(driver_->Find(css)); }

  std::vector<std::string> TextsOf(const std::string& css) {
    std::vector<std::string> texts;
    for (const WebDriver::Element& e : driver_->FindAll(css)) texts.push_back(driver_->Text(e));
    return texts;
  }

  // The receipt's terms and what each says, as shown.
  std::map<std::string, std::string> Receipt() {
    const std::vector<std::string> terms = TextsOf("dl.receipt > dt");
    const std::vector<std::string> values = TextsOf("dl.receipt > dd");
    EXPECT_EQ(terms.size(), values.size());
    std::map<std::string, std::string> receipt;
    for (std::size_t i = 0; i < terms.size() && i < values.size(); ++i)
      receipt[terms[i]] = values[i];
    return receipt;
  }

  // Each control of the page's form by name, with the one label the browser
  // gives it; a control without a label, or with more, is a failure.
  std::map<std::string, std::string> FormLabels() {
    const Json controls = driver_->Execute(R"(
        return Array.from(document.querySelector('form').elements).map(e => ({
          name: e.name, type: e.type, id: e.id,
          labels: Array.from(e.labels || []).map(l => l.textContent.trim())}));)");
    std::map<std::string, std::string> labels;
    for (const Json& control : controls) {
      if (control["type"] == "submit") continue;  // a button's text is its name
      if (control["labels"].size() != 1) {
        ADD_FAILURE() << "not one label: " << control.dump();
        continue;
      }
      const std::string id = control["id"], label = control["labels"][0];
      labels[control["name"]] = label;
      EXPECT_EQ(driver_->Text(driver_->Find("label[for=\"" + id + "\"]")), label);
    }
    return labels;
  }

  // Fills in the form of the page shown and sends it.
  void SendLog(const std::string& file, const std::string& email, const std::string& token) {
    driver_->SendKeys(driver_->Find("form input#log"), file);
    if (!email.empty()) driver_->SendKeys(driver_->Find("form input#email"), email);
    if (!token.empty()) driver_->SendKeys(driver_->Find("form input#token"), token);
    driver_->ClickAndWaitForNextPage(driver_->Find("form button[type=submit]"));
  }

  std::string WriteFile(const std::string& name, const std::string& bytes) {
    const std::string path = folder_ / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  // The page shown, as docs/robot/NAME; written whole or not at all.
  void Picture(const std::string& name) {
    const std::string png = driver_->Screenshot();
    ASSERT_GT(png.size(), 24u);
    ASSERT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8)) << name << " is not a PNG";
    // The viewport's size, from the IHDR chunk: the window's width, its
    // height less what the browser keeps for itself.
    auto be32 = [&](std::size_t at) {
      std::uint32_t value = 0;
      for (std::size_t i = at; i < at + 4; ++i)
        value = value << 8 | static_cast<unsigned char>(png[i]);
      return value;
    };
    EXPECT_EQ(be32(16), 1200u) << name;
    EXPECT_GE(be32(20), 600u) << name;
    const std::string pictures = PicturesDir();
    fs::create_directories(pictures);
    const fs::path target = fs::path(pictures) / name;
    const fs::path partial = target.string() + ".partial-" + std::to_string(::getpid());
    std::ofstream out(partial, std::ios::binary);
    out << png;
    out.close();
    if (!out) {
      std::error_code ignored;
      fs::remove(partial, ignored);
      FAIL() << "cannot write " << target;
    }
    fs::rename(partial, target);
  }

  velmora::testing::TempFolder folder_;
  ChildProcess robot_, driver_process_;
  std::unique_ptr<WebDriver> driver_;
  int port_ = 0;
  std::string base_;
};

TEST_F(RobotPagesInBrowser, UploadPageLabelsEveryControl) {
  driver_->Navigate(Url("/"));
  EXPECT_EQ(driver_->Title(), "Send a log - Velmora Memorial Contest HF");
  EXPECT_EQ(TextOf("h1"), "Send a log");
  // The style sheet gets through the pages' Content-Security-Policy.
  EXPECT_EQ(driver_->Execute("return getComputedStyle(document.body).fontFamily;"), "sans-serif");

  const std::map<std::string, std::string> labels = FormLabels();
  EXPECT_THAT(labels, ElementsAre(Pair("email", StartsWith("E-mail address")),
                                  Pair("log", "Cabrillo log file"),
                                  Pair("text", "or the log pasted as text"),
                                  Pair("token", StartsWith("The call's token"))));
  EXPECT_EQ(TextOf("form button[type=submit]"), "Send the log");
  const WebDriver::Element form = driver_->Find("form");
  EXPECT_EQ(driver_->Property(form, "action"), Url("/submit"));
  EXPECT_EQ(driver_->Property(form, "method"), "post");
  EXPECT_EQ(driver_->Property(form, "enctype"), "multipart/form-data");
  Picture("upload.png");
}

TEST_F(RobotPagesInBrowser, RefusedLogListsEachProblemWithItsLine) {
  // The sample with two categories the contest does not have (one written
  // as markup) and two QSO lines that cannot be read.
  std::vector<std::string> lines = Lines(velmora::testing::ReadWholeFile(kSample));
  ASSERT_GT(lines.size(), 20u) << kSample;
  int band_line = 0, power_line = 0, time_line = 0, cut_line = 0, qsos = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string& line = lines[i];
    const int number = static_cast<int>(i) + 1;
    if (line.rfind("CATEGORY-BAND:", 0) == 0) {
      line = "CATEGORY-BAND: 2M";
      band_line = number;
    } else if (line.rfind("CATEGORY-POWER:", 0) == 0) {
      line = "CATEGORY-POWER: <b>medium</b>";
      power_line = number;
    } else if (line.rfind("QSO:", 0) == 0) {
      std::vector<std::string> words = Words(line);
      ++qsos;
      if (qsos == 5) {
        words[4] = "12X0";  // the time
        line.clear();
        for (const std::string& w : words) line += (line.empty() ? "" : " ") + w;
        time_line = number;
      } else if (qsos == 10) {
        words.resize(6);
        line.clear();
        for (const std::string& w : words) line += (line.empty() ? "" : " ") + w;
        cut_line = number;
      }
    }
  }
  ASSERT_TRUE(band_line && power_line && time_line && cut_line) << "the sample has changed";
  const std::string broken = WriteFile("broken.cbr", Joined(lines));

  driver_->Navigate(Url("/"));
  SendLog(broken, "", "");
  ASSERT_EQ(TextOf("h1"), "Log not accepted") << TextOf("main");
  EXPECT_EQ(TextOf("p.rejected"),
            "Nothing was stored. Mend what is listed and send the log again.");
  EXPECT_EQ(TextOf("h2#errors"), "Errors (2)");
  EXPECT_THAT(TextsOf("ul.errors > li"),
              ElementsAre(StartsWith("Line " + std::to_string(band_line) +
                                     ": CATEGORY-BAND: \"2M\" is not a category"),
                          StartsWith("Line " + std::to_string(power_line) +
                                     ": CATEGORY-POWER: \"<B>MEDIUM</B>\" is not a category")));
  // The log's markup is shown as text, never made an element of the page.
  EXPECT_THAT(driver_->FindAll("main b"), IsEmpty());
  const std::vector<std::string> warnings = TextsOf("ul.warnings > li");
  EXPECT_THAT(warnings, Contains(AllOf(StartsWith("Line " + std::to_string(time_line) + ": "),
                                       HasSubstr("12X0"))));
  EXPECT_THAT(warnings, Contains(AllOf(StartsWith("Line " + std::to_string(cut_line) + ": "),
                                       HasSubstr("columns"))));
  // The form comes again, for the mended log.
  EXPECT_EQ(driver_->FindAll("form input#log[type=file]").size(), 1u);
  Picture("errors.png");

  driver_->Navigate(Url("/logs"));
  EXPECT_EQ(TextOf("h1"), "Logs received");
  EXPECT_THAT(driver_->FindAll("table.logs tbody tr"), IsEmpty()) << "a refused log was listed";
}

TEST_F(RobotPagesInBrowser, LogIsReplacedWithItsTokenAndEachVersionKept) {
  const std::string sample_bytes = velmora::testing::ReadWholeFile(kSample);
  ASSERT_FALSE(sample_bytes.empty()) << kSample;
  // The next version: one QSO line fewer, so no confirmation is asked.
  std::vector<std::string> lines = Lines(sample_bytes);
  for (std::size_t i = lines.size(); i-- > 0;)
    if (lines[i].rfind("QSO:", 0) == 0) {
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
      break;
    }
  const std::string shorter = WriteFile("OK1ZEB-v2.cbr", Joined(lines));

  // The first log, with an address for the receipt.
  driver_->Navigate(Url("/"));
  SendLog(kSample, "entrant@example.org", "");
  ASSERT_EQ(TextOf("h1"), "Log received") << TextOf("main");
  EXPECT_EQ(TextOf("p.accepted"), "The log of OK1ZEB is stored.");
  std::map<std::string, std::string> first = Receipt();
  EXPECT_EQ(first["Call"], "OK1ZEB");
  EXPECT_EQ(first["Version"], "1");
  EXPECT_EQ(first["QSOs"], "391");
  EXPECT_EQ(first["Score"], "1623 points \u00d7 270 multipliers = 438210");
  const std::string receipt_id = first["Receipt"];
  ASSERT_THAT(receipt_id, Not(IsEmpty()));
  const std::string token = TextOf("code#token");
  ASSERT_THAT(token, Not(IsEmpty()));
  EXPECT_EQ(token.find_first_of(" \t\n"), std::string::npos) << token;
  Picture("receipt.png");

  // Without the token no one else's log replaces it; the page offers the
  // form again.
  driver_->Navigate(Url("/"));
  SendLog(shorter, "", "");
  ASSERT_EQ(TextOf("h1"), "Log not stored") << TextOf("main");
  EXPECT_THAT(TextOf("p.rejected"), HasSubstr("token"));

  // With it, the shorter log is the call's second version. Its receipt
  // carries no token: that is given once.
  SendLog(shorter, "", token);
  ASSERT_EQ(TextOf("h1"), "Log received") << TextOf("main");
  std::map<std::string, std::string> second = Receipt();
  EXPECT_EQ(second["Call"], "OK1ZEB");
  EXPECT_EQ(second["Version"], "2");
  EXPECT_EQ(second["QSOs"], "390");
  EXPECT_NE(second["Receipt"], receipt_id);
  EXPECT_THAT(driver_->FindAll("#token"), IsEmpty());

  driver_->Navigate(Url("/logs"));
  EXPECT_EQ(TextOf("h1"), "Logs received");
  std::vector<std::vector<std::string>> rows;
  for (const WebDriver::Element& row : driver_->FindAll("table.logs tbody tr")) {
    std::vector<std::string> cells;
    for (const WebDriver::Element& cell : driver_->FindAllIn(row, "td"))
      cells.push_back(driver_->Text(cell));
    rows.push_back(cells);
  }
  const std::vector<std::string> headings = TextsOf("table.logs thead th");
  EXPECT_THAT(headings, ElementsAre("Call", "Category", "Received (UTC)", "QSOs", "Versions"));
  ASSERT_EQ(rows.size(), 1u) << "one call, one line";
  ASSERT_EQ(rows[0].size(), 5u);
  EXPECT_EQ(rows[0][0], "OK1ZEB");
  EXPECT_EQ(rows[0][3], "390") << "the newest version counts";
  EXPECT_EQ(rows[0][4], "2");
  Picture("logs.png");

  // A log of less than half the QSOs takes a tick in a box that says so.
  std::vector<std::string> header;
  int kept = 0;
  for (const std::string& line : Lines(sample_bytes))
    if (line.rfind("QSO:", 0) != 0 || ++kept <= 10) header.push_back(line);
  const std::string stub = WriteFile("OK1ZEB-stub.cbr", Joined(header));
  driver_->Navigate(Url("/"));
  SendLog(stub, "", token);
  ASSERT_EQ(TextOf("h1"), "Confirm the replacement") << TextOf("main");
  EXPECT_THAT(FormLabels(), Contains(Pair("confirm", StartsWith("Yes, this log replaces"))));
  driver_->Click(driver_->Find("form input#confirm[type=checkbox]"));
  SendLog(stub, "", "");  // the form kept the token: the entrant types it once
  ASSERT_EQ(TextOf("h1"), "Log received") << TextOf("main");
  EXPECT_EQ(Receipt()["Version"], "3");
  EXPECT_EQ(Receipt()["QSOs"], "10");

  // The first version's own page: still there, without the token, and its
  // link gives the very bytes that were sent.
  driver_->Navigate(Url("/receipt/" + receipt_id));
  ASSERT_EQ(TextOf("h1"), "Receipt") << TextOf("main");
  std::map<std::string, std::string> again = Receipt();
  EXPECT_EQ(again["Receipt"], receipt_id);
  EXPECT_EQ(again["Version"], "1");
  EXPECT_EQ(again["QSOs"], "391");
  EXPECT_EQ(again["Score"], first["Score"]);
  EXPECT_EQ(driver_->PageSource().find(token), std::string::npos) << "the token is shown again";
  Picture("receipt-page.png");

  const std::string href =
      driver_->Property(driver_->FindLink("The log exactly as stored"), "href");
  ASSERT_EQ(href.rfind(Url("/"), 0), 0u) << href;
  httplib::Client http("127.0.0.1", port_);
  http.set_read_timeout(30, 0);
  const httplib::Result stored = http.Get(href.substr(base_.size()));
  ASSERT_TRUE(stored) << href << ": " << httplib::to_string(stored.error());
  EXPECT_EQ(stored->status, 200);
  EXPECT_EQ(stored->body.size(), sample_bytes.size());
  EXPECT_TRUE(stored->body == sample_bytes) << "the stored log differs from the file sent";
  EXPECT_EQ(stored->get_header_value("Content-Disposition"),
            "attachment; filename=\"OK1ZEB-v1.log\"");
}

}  // namespace
}  // namespace velmora::robot::browser
