// The robot's pages as an entrant meets them: velmora-robot on loopback,
// Chromium driven through WebDriver, a picture of each page (the ones in
// docs/robot/ come from a run with VELMORA_ROBOT_PICTURES=docs/robot).

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "robot/browser/robot_browser_fixture.h"

namespace velmora::robot::browser {
namespace {

using ::testing::AllOf;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::Pair;
using ::testing::StartsWith;

const std::string kSample = kSourceDir + "/examples/sample.cbr";

class RobotPagesInBrowser : public RobotBrowserFixture {
 protected:
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

  // Fills in the form of the page shown and sends it.
  void SendLog(const std::string& file, const std::string& email, const std::string& token) {
    driver_->SendKeys(driver_->Find("form input#log"), file);
    if (!email.empty()) driver_->SendKeys(driver_->Find("form input#email"), email);
    if (!token.empty()) driver_->SendKeys(driver_->Find("form input#token"), token);
    driver_->ClickAndWaitForNextPage(driver_->Find("form button[type=submit]"));
  }
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
