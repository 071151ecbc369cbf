#include "robot/admin_routes.h"

#include "check/check_options.h"
#include "check/check_run.h"
#include "robot/csv_rows.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <zip.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#include "robot/robot_server.h"
#include "robot/secrets.h"
#include "robot/submission_desk.h"
#include "testing/whole_file.h"

namespace velmora::robot {
namespace {

namespace fs = std::filesystem;
using velmora::testing::ReadWholeFile;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr std::int64_t kStart = 1578933000;  // 2020-01-13 16:30 UTC
const char kPassword[] = "correct horse battery";

std::string Log(const std::string& call, const std::string& other, int serial) {
  return "START-OF-LOG: 3.0\nCALLSIGN: " + call + "\nCATEGORY-OPERATOR: SINGLE-OP\n"
         "QSO: 3520 CW 2020-01-13 1631 " + call + " 599 1 " + other + " 599 " +
         std::to_string(serial) + "\nEND-OF-LOG:\n";
}

// The robot in this process on a port of its own, its clock in the test's hand.
class AdminRoutesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitSecrets();
    dir_ = fs::temp_directory_path() / ("velmora-admin-" + RandomHex(6));
    fs::create_directories(dir_);
    config_.listen_port = 0;
    config_.cty_file = VELMORA_TESTDATA "/cty_excerpt.dat";
    config_.categories = DefaultCategories();
    Configure(config_);
    cty_ = CountryFile::Parse(ReadWholeFile(config_.cty_file), "cty");
    store_ = std::make_unique<SubmissionStore>((dir_ / "robot.sqlite").string());
    store_->SetSetting(kPasswordKey, HashPassword(kPassword));
    organisers_ = std::make_unique<OrganiserStore>(*store_);
    gate_ = std::make_unique<OrganiserGate>(*store_, *organisers_);
    auto clock = [this] { return now_.load(); };
    runner_ = std::make_unique<CheckRunner>(config_, *organisers_, (dir_ / "runs").string(), clock);
    desk_ = std::make_unique<SubmissionDesk>(config_, cty_, *store_, nullptr);
    server_ = std::make_unique<RobotServer>(config_, *desk_, *store_, clock);
    admin_ = std::make_unique<AdminRoutes>(config_, *store_, *organisers_, *gate_, *runner_,
                                           clock, nullptr);
    admin_->Register(server_->http());
    std::string error;
    ASSERT_TRUE(server_->Bind(error)) << error;
    serving_ = std::thread([this] { server_->Serve(); });
    client_ = std::make_unique<httplib::Client>("127.0.0.1", server_->port());
  }

  void TearDown() override {
    server_->Stop();
    serving_.join();
    runner_->WaitIdle();
    fs::remove_all(dir_);
  }

  virtual void Configure(RobotConfig&) {}

  // Logs in; the session's cookie and CSRF token go into every later request.
  void LogIn() {
    httplib::Result r = client_->Post("/api/admin/login",
                                      "{\"password\":\"" + std::string(kPassword) + "\"}",
                                      "application/json");
    ASSERT_TRUE(r);
    ASSERT_EQ(r->status, 200) << r->body;
    const std::string cookie = r->get_header_value("Set-Cookie");
    EXPECT_NE(cookie.find("HttpOnly"), std::string::npos);
    EXPECT_NE(cookie.find("SameSite=Strict"), std::string::npos);
    cookie_ = cookie.substr(0, cookie.find(';'));
    csrf_ = Json::parse(r->body)["csrf"];
  }

  httplib::Headers Session(bool with_csrf = true) const {
    httplib::Headers headers{{"Cookie", cookie_}};
    if (with_csrf) headers.emplace("X-CSRF-Token", csrf_);
    return headers;
  }

  int Post(const std::string& path, const std::string& json, bool with_csrf = true) {
    httplib::Result r = client_->Post(path, Session(with_csrf), json, "application/json");
    return r ? r->status : -1;
  }

  UploadAnswer Upload(const std::string& bytes) {
    return desk_->Submit({bytes, "", "", false, now_.load()});
  }

  fs::path dir_;
  std::atomic<std::int64_t> now_{kStart};
  RobotConfig config_;
  CountryFile cty_;
  std::unique_ptr<SubmissionStore> store_;
  std::unique_ptr<OrganiserStore> organisers_;
  std::unique_ptr<OrganiserGate> gate_;
  std::unique_ptr<CheckRunner> runner_;
  std::unique_ptr<SubmissionDesk> desk_;
  std::unique_ptr<RobotServer> server_;
  std::unique_ptr<AdminRoutes> admin_;
  std::thread serving_;
  std::unique_ptr<httplib::Client> client_;
  std::string cookie_, csrf_;
};

// The names of the files an archive holds.
std::set<std::string> ZipNames(const std::string& bytes) {
  std::set<std::string> names;
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
  zip_t* archive = source ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
  if (!archive) {
    if (source) zip_source_free(source);
    zip_error_fini(&error);
    return names;
  }
  for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i)
    names.insert(zip_get_name(archive, static_cast<zip_uint64_t>(i), 0));
  zip_close(archive);
  zip_error_fini(&error);
  return names;
}

const std::vector<std::string> kPages = {
    "/admin", "/admin/submissions", "/api/admin/submissions", "/admin/missing",
    "/api/admin/missing", "/admin/rulings", "/api/admin/rulings", "/admin/runs",
    "/api/admin/runs", "/admin/runs/1/results.html", "/admin/runs/1/zip",
    "/api/admin/runs/1/zip"};
const std::vector<std::string> kActions = {
    "/admin/logout", "/api/admin/logout", "/admin/decision", "/api/admin/decision",
    "/admin/rulings", "/api/admin/rulings", "/admin/rulings/1/withdraw",
    "/api/admin/rulings/1/withdraw", "/admin/close", "/api/admin/close", "/admin/check",
    "/api/admin/check", "/admin/publish", "/api/admin/publish", "/admin/withdraw",
    "/api/admin/withdraw"};

TEST_F(AdminRoutesTest, EveryOrganisersRouteRefusesWithoutAValidSession) {
  for (const std::string& path : kPages) {
    httplib::Result r = client_->Get(path);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 403) << path;
  }
  for (const std::string& path : kActions) EXPECT_EQ(Post(path, "{}"), 403) << path;

  LogIn();
  // A session without the form's token changes nothing.
  for (const std::string& path : kActions) EXPECT_EQ(Post(path, "{}", false), 403) << path;
  EXPECT_FALSE(organisers_->ClosedAt());
  httplib::Result page = client_->Get("/admin", Session(false));
  ASSERT_TRUE(page);
  EXPECT_EQ(page->status, 200);

  // The session ends after its hours.
  now_ += OrganiserGate::kSessionSeconds + 1;
  for (const std::string& path : kPages) {
    httplib::Result r = client_->Get(path, Session());
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 403) << path;
  }
  for (const std::string& path : kActions) EXPECT_EQ(Post(path, "{}"), 403) << path;
  EXPECT_FALSE(organisers_->ClosedAt());
}

TEST_F(AdminRoutesTest, FailedLoginsMeetAGrowingPause) {
  auto login = [this](const char* password) {
    httplib::Result r = client_->Post(
        "/api/admin/login", "{\"password\":\"" + std::string(password) + "\"}",
        "application/json");
    return std::pair{r ? r->status : -1, r ? r->get_header_value("Retry-After") : ""};
  };
  EXPECT_EQ(login("guess").first, 403);
  EXPECT_EQ(login(kPassword), (std::pair<int, std::string>{429, "1"}));
  now_ += 1;
  EXPECT_EQ(login("guess").first, 403);
  EXPECT_EQ(login("guess"), (std::pair<int, std::string>{429, "2"}));
  now_ += 2;
  EXPECT_EQ(login(kPassword).first, 200);
  EXPECT_EQ(login("guess").first, 403);  // a good login starts the count again
  now_ += 1;
  EXPECT_EQ(login(kPassword).first, 200);
}

TEST_F(AdminRoutesTest, RulingsNameAQsoLineOfACountedLogAndStayInTheRecord) {
  ASSERT_EQ(Upload(Log("OK1AAA", "DL1BBB", 1)).status, UploadStatus::kAccepted);
  LogIn();
  auto ruling = [this](const std::string& log, int line) {
    return Post("/api/admin/rulings", "{\"log\":\"" + log + "\",\"line\":" +
                                          std::to_string(line) +
                                          ",\"verdict\":\"nil\",\"reason\":\"heard it\"}");
  };
  EXPECT_EQ(ruling("OK1AAA", 2), 422);  // the CALLSIGN: line
  EXPECT_EQ(ruling("OK1AAA", 9), 422);  // past the end
  EXPECT_EQ(ruling("DL1BBB", 4), 422);  // no log of that call
  EXPECT_EQ(Post("/api/admin/rulings",
                 "{\"log\":\"OK1AAA\",\"line\":4,\"verdict\":\"fine\",\"reason\":\"x\"}"),
            422);
  EXPECT_EQ(ruling("OK1AAA", 4), 200);
  EXPECT_EQ(Post("/api/admin/rulings/1/withdraw", "{}"), 200);
  EXPECT_EQ(Post("/api/admin/rulings/1/withdraw", "{}"), 404);
  const std::vector<RulingRecord> rulings = organisers_->Rulings();
  ASSERT_EQ(rulings.size(), 1u);
  EXPECT_TRUE(rulings[0].withdrawn);
  EXPECT_EQ(rulings[0].organiser, "organiser");
}

TEST_F(AdminRoutesTest, CloseCheckPublishAndEachEntrantReadsItsOwnReport) {
  const UploadAnswer a = Upload(Log("OK1AAA", "DL1BBB", 1));
  const UploadAnswer b = Upload(Log("DL1BBB", "OK1AAA", 1));
  ASSERT_EQ(b.status, UploadStatus::kAccepted);
  LogIn();
  httplib::Result before = client_->Get("/api/results");
  ASSERT_TRUE(before);
  EXPECT_EQ(before->status, 403);

  EXPECT_EQ(Post("/api/admin/close", "{}"), 200);
  now_ += 60;
  const UploadAnswer late = Upload(Log("G4LATE", "OK1AAA", 2));
  ASSERT_EQ(late.status, UploadStatus::kAccepted);
  EXPECT_TRUE(late.receipt.late);

  httplib::Result check = client_->Post("/api/admin/check", Session(), "{}", "application/json");
  ASSERT_TRUE(check);
  ASSERT_EQ(check->status, 200) << check->body;
  const Json run = Json::parse(check->body);
  EXPECT_EQ(run["status"], "done") << check->body;
  EXPECT_EQ(Post("/api/admin/publish", "{\"run\":" + std::to_string(run["run"].get<int>()) + "}"),
            200);

  httplib::Result results = client_->Get("/api/results");
  ASSERT_TRUE(results);
  ASSERT_EQ(results->status, 200);
  const Json rows = Json::parse(results->body);
  ASSERT_EQ(rows.size(), 2u);  // the late log does not count unless admitted
  EXPECT_TRUE(rows[0]["checked_score"].is_number());

  httplib::Result own = client_->Get("/api/report/OK1AAA?token=" + a.token);
  ASSERT_TRUE(own);
  EXPECT_EQ(own->status, 200);
  EXPECT_TRUE(Json::parse(own->body, nullptr, false).is_object()) << own->body;
  httplib::Result other = client_->Get("/api/report/OK1AAA?token=" + b.token);
  ASSERT_TRUE(other);
  EXPECT_EQ(other->status, 403);

  // The organisers' archive: the results, every counted log and report.
  httplib::Result zip = client_->Get("/api/admin/runs/" + std::to_string(run["run"].get<int>()) +
                                     "/zip", Session(false));
  ASSERT_TRUE(zip);
  ASSERT_EQ(zip->status, 200);
  EXPECT_EQ(ZipNames(zip->body),
            (std::set<std::string>{"results.csv", "results.html", "qsos.csv", "logs/DL1BBB.log",
                                   "logs/OK1AAA.log", "reports/DL1BBB.txt", "reports/DL1BBB.json",
                                   "reports/OK1AAA.txt", "reports/OK1AAA.json"}));

  EXPECT_EQ(Post("/api/admin/withdraw", "{}"), 200);
  httplib::Result hidden = client_->Get("/api/results");
  ASSERT_TRUE(hidden);
  EXPECT_EQ(hidden->status, 403);
}

// The first QSO: line of a log, 1-based.
int FirstQsoLine(const std::string& text) {
  std::istringstream in(text);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number)
    if (line.rfind("QSO:", 0) == 0) return number;
  return 0;
}

// The settings of a weekly one-hour round.
class RealRoundTest : public AdminRoutesTest {
  void Configure(RobotConfig& config) override {
    config.contest_start = COleDateTime::FromParts(2020, 1, 13, 16, 30, 0);
    config.contest_end = COleDateTime::FromParts(2020, 1, 13, 17, 29, 0);
    config.categories["CATEGORY-MODE"] = {"CW", "MIXED"};
    config.uploads_per_minute = 1000;
  }
};

TEST_F(RealRoundTest, ThroughTheRobotItGivesVelmoraChecksResults) {
  const fs::path round = VELMORA_TESTDATA "/real-contest/mwc-2020-01-13";
  int uploaded = 0;
  std::vector<fs::path> files;
  for (const fs::directory_entry& e : fs::directory_iterator(round))
    if (e.path().extension() == ".log") files.push_back(e.path());
  std::sort(files.begin(), files.end());
  for (const fs::path& file : files) {
    httplib::MultipartFormDataItems form = {
        {"log", ReadWholeFile(file), file.filename().string(), "text/plain"}};
    httplib::Result r = client_->Post("/api/submit", form);
    ASSERT_TRUE(r);
    ASSERT_EQ(r->status, 200) << file << ": " << r->body;
    ++uploaded;
  }
  ASSERT_EQ(uploaded, 83);
  LogIn();
  const std::string ruled = ReadWholeFile(round / "OK1FGD.log");
  const int line = FirstQsoLine(ruled);
  ASSERT_EQ(Post("/api/admin/rulings", "{\"log\":\"OK1FGD\",\"line\":" + std::to_string(line) +
                                           ",\"verdict\":\"nil\",\"reason\":\"not in the other log\"}"),
            200);
  ASSERT_EQ(Post("/api/admin/close", "{}"), 200);
  httplib::Result check = client_->Post("/api/admin/check", Session(), "{}", "application/json");
  ASSERT_TRUE(check);
  const Json run = Json::parse(check->body);
  ASSERT_EQ(run["status"], "done") << check->body;
  ASSERT_EQ(Post("/api/admin/publish", "{\"run\":" + std::to_string(run["run"].get<int>()) + "}"),
            200);
  httplib::Result published = client_->Get("/api/results");
  ASSERT_TRUE(published);
  ASSERT_EQ(published->status, 200);

  // velmora-check on the same files, with the same period and ruling.
  const fs::path out = dir_ / "check-out";
  std::ofstream(dir_ / "rulings.csv") << "OK1FGD," << line << ",nil,not in the other log\n";
  check::CheckOptions options;
  options.inputs = {round.string()};
  options.out_dir = out.string();
  options.cty_file = config_.cty_file;
  options.start = config_.contest_start;
  options.end = config_.contest_end;
  options.rulings_file = (dir_ / "rulings.csv").string();
  options.quiet = true;
  std::ostringstream messages;
  ASSERT_EQ(check::RunCheck(options, messages), check::kCheckOk) << messages.str();
  const Json expected = CsvObjects(ReadWholeFile(out / "results.csv"));
  ASSERT_EQ(expected.size(), 83u);
  EXPECT_EQ(Json::parse(published->body), expected);
}

TEST_F(RealRoundTest, AChecksLogsAreOneVersionOfEachCallWhileUploadsGoOn) {
  const fs::path round = VELMORA_TESTDATA "/real-contest/mwc-2020-01-13";
  std::vector<std::pair<std::string, std::string>> tokens;  // call, token
  for (const char* call : {"OK1FGD", "OK1KA", "SM5CSS", "OK2BRQ", "SP2MW", "HA8V"}) {
    const UploadAnswer a = Upload(ReadWholeFile(round / (std::string(call) + ".log")));
    ASSERT_EQ(a.status, UploadStatus::kAccepted);
    tokens.emplace_back(call, a.token);
  }
  LogIn();
  std::atomic<bool> done{false};
  std::thread uploads([&] {
    while (!done)
      for (const auto& [call, token] : tokens)
        desk_->Submit({ReadWholeFile(round / (call + ".log")), "", token, false, now_.load()});
  });
  std::vector<std::int64_t> runs;
  for (int i = 0; i < 3; ++i) {
    httplib::Result check = client_->Post("/api/admin/check", Session(), "{}", "application/json");
    ASSERT_TRUE(check);
    ASSERT_EQ(check->status, 200) << check->body;
    runs.push_back(Json::parse(check->body)["run"].get<std::int64_t>());
  }
  done = true;
  uploads.join();
  for (std::int64_t run : runs) {
    std::set<std::string> calls;
    for (const std::string& receipt : organisers_->RunReceipts(run)) {
      std::optional<Submission> s = store_->Find(receipt, false);
      ASSERT_TRUE(s);
      EXPECT_TRUE(calls.insert(s->call).second) << "two versions of " << s->call;
    }
    EXPECT_EQ(calls.size(), tokens.size());
    EXPECT_EQ(organisers_->RunCalls(run).size(), tokens.size());
  }
}

// With a relay, publishing a run queues a mail for every entrant that gave
// an address; without one nothing is queued.
class MailedRoundTest : public AdminRoutesTest {
  void Configure(RobotConfig& config) override {
    config.mail_relay = "smtp://127.0.0.1:1";
    config.public_url = "https://robot.example.org";
  }
};

TEST_F(MailedRoundTest, PublishingMailsEveryEntrantALinkToItsReport) {
  ASSERT_EQ(desk_->Submit({Log("OK1AAA", "DL1BBB", 1), "a@example.org", "", false, now_.load()})
                .status,
            UploadStatus::kAccepted);
  ASSERT_EQ(Upload(Log("DL1BBB", "OK1AAA", 1)).status, UploadStatus::kAccepted);  // no address
  for (const OutgoingMail& receipt : store_->Due(now_.load(), 100)) store_->MarkSent(receipt.id, now_);
  LogIn();
  httplib::Result check = client_->Post("/api/admin/check", Session(), "{}", "application/json");
  ASSERT_TRUE(check);
  ASSERT_EQ(check->status, 200);
  EXPECT_EQ(Post("/api/admin/publish", "{\"run\":" +
                                           std::to_string(Json::parse(check->body)["run"].get<int>()) +
                                           "}"),
            200);
  const std::vector<OutgoingMail> mails = store_->Due(now_.load(), 100);
  ASSERT_EQ(mails.size(), 1u);
  EXPECT_EQ(mails[0].to, "a@example.org");
  EXPECT_NE(mails[0].body.find("https://robot.example.org/report/OK1AAA?token="), std::string::npos)
      << mails[0].body;
}

// The organisers' list at ten rows a page, over 25 calls: OK1AA to OK1AW
// and two others.
class PagedSubmissionsTest : public AdminRoutesTest {
 protected:
  void Configure(RobotConfig& config) override { config.submissions_page_rows = 10; }

  void UploadCalls() {
    for (char c = 'A'; c <= 'W'; ++c) calls_.push_back(std::string("OK1A") + c);
    calls_.insert(calls_.end(), {"DL1XYZ", "G4ABC"});
    for (const std::string& call : calls_) {
      const UploadAnswer a = Upload(Log(call, "SP2MW", 1));
      ASSERT_EQ(a.status, UploadStatus::kAccepted) << call;
      receipts_[call] = a.receipt.receipt;
    }
    std::sort(calls_.begin(), calls_.end());  // the overview's order
    LogIn();
  }

  std::pair<int, std::string> Get(const std::string& path) {
    httplib::Result r = client_->Get(path, Session(false));
    return r ? std::pair{r->status, r->body} : std::pair{-1, std::string()};
  }

  std::vector<std::string> calls_;
  std::map<std::string, std::string> receipts_;  // call, receipt
};

// The call of each row of a submissions page.
std::vector<std::string> RowCalls(const std::string& html) {
  std::vector<std::string> calls;
  const std::string open = "<tr><td>";
  for (std::size_t at = html.find(open); at != std::string::npos; at = html.find(open, at)) {
    at += open.size();
    calls.push_back(html.substr(at, html.find("</td>", at) - at));
  }
  return calls;
}

TEST_F(PagedSubmissionsTest, PagesWalkEveryRowInOrderAndSayWhereTheyAre) {
  UploadCalls();
  auto [status, first] = Get("/admin/submissions");
  ASSERT_EQ(status, 200);
  EXPECT_THAT(first, HasSubstr("<p>Rows 1&ndash;10 of 25.</p>"));
  EXPECT_THAT(first, HasSubstr("Page 1 of 3 &middot; <a href=\"/admin/submissions?page=2\" "
                               "rel=\"next\">Next</a> &middot; "
                               "<a href=\"/admin/submissions?page=3\">Last</a>"));

  std::vector<std::string> walked = RowCalls(first);
  for (const char* page : {"2", "03"}) {
    auto [paged_status, html] = Get(std::string("/admin/submissions?page=") + page);
    ASSERT_EQ(paged_status, 200) << page;
    const std::vector<std::string> rows = RowCalls(html);
    walked.insert(walked.end(), rows.begin(), rows.end());
  }
  EXPECT_EQ(walked, calls_);
  auto [last_status, last] = Get("/admin/submissions?page=3");
  EXPECT_EQ(last_status, 200);
  EXPECT_THAT(last, HasSubstr("<p>Rows 21&ndash;25 of 25.</p>"));
  EXPECT_THAT(last, HasSubstr("<a href=\"/admin/submissions\">First</a> &middot; "
                              "<a href=\"/admin/submissions?page=2\" rel=\"prev\">Previous</a>"
                              " &middot; Page 3 of 3</p>"));

  // Past the last page: not there, with the way to the last one.
  auto [past_status, past] = Get("/admin/submissions?page=999999999");
  EXPECT_EQ(past_status, 404);
  EXPECT_THAT(past, HasSubstr("there is no page 999999999: the last is 3. "
                              "<a href=\"/admin/submissions?page=3\">The last page</a>"));
}

TEST_F(PagedSubmissionsTest, TheCallFilterIgnoresCaseAndShowsWhatWasTypedEscaped) {
  UploadCalls();
  auto [status, html] = Get("/admin/submissions?call=%20ok1a%20&page=2");
  ASSERT_EQ(status, 200);
  EXPECT_EQ(RowCalls(html), (std::vector<std::string>(calls_.begin() + 12, calls_.begin() + 22)));
  EXPECT_THAT(html, HasSubstr("Rows 11&ndash;20 of 23 whose call contains &ldquo;ok1a&rdquo;."));
  EXPECT_THAT(html, HasSubstr("name=\"call\" value=\"ok1a\""));
  EXPECT_THAT(html, HasSubstr("<a href=\"/admin/submissions?call=ok1a\">First</a>"));

  auto [none_status, none] = Get("/admin/submissions?call=ZZ9");
  EXPECT_EQ(none_status, 200);
  EXPECT_THAT(none, HasSubstr("No submission matches the call &ldquo;ZZ9&rdquo;."));
  EXPECT_THAT(none, Not(HasSubstr("<table")));

  // Markup in the filter: shown as text, in the page and in the link back.
  const std::string markup = "%3Cb%3E%22x%27%26";  // <b>"x'&
  auto [markup_status, shown] = Get("/admin/submissions?call=" + markup);
  EXPECT_EQ(markup_status, 200);
  EXPECT_THAT(shown, HasSubstr("value=\"&lt;b&gt;&quot;x&#39;&amp;\""));
  EXPECT_THAT(shown, HasSubstr("matches the call &ldquo;&lt;b&gt;&quot;x&#39;&amp;&rdquo;"));
  EXPECT_THAT(shown, Not(HasSubstr("<b>")));
  auto [past_status, past] = Get("/admin/submissions?call=" + markup + "&page=2");
  EXPECT_EQ(past_status, 404);
  EXPECT_THAT(past, HasSubstr("<a href=\"/admin/submissions?call=" + markup + "\">"));
}

TEST_F(PagedSubmissionsTest, ABadPageOrCallIsRefusedWithTheFormToMendIt) {
  UploadCalls();
  for (const char* page : {"0", "-1", "abc", "1.5", "+2", "1e3", "%00", "1000000000",
                           "99999999999999999999999999"}) {
    auto [status, html] = Get(std::string("/admin/submissions?page=") + page);
    EXPECT_EQ(status, 400) << page;
    EXPECT_THAT(html, HasSubstr("role=\"alert\">the page is a whole number from 1 to 999999999."))
        << page;
  }
  auto [long_status, too_long] = Get("/admin/submissions?call=" + std::string(21, 'A'));
  EXPECT_EQ(long_status, 400);
  EXPECT_THAT(too_long, HasSubstr("at most 20 bytes; this one has 21"));
  EXPECT_THAT(too_long, HasSubstr("value=\"" + std::string(21, 'A') + "\""));
  EXPECT_EQ(Get("/admin/submissions?call=OK1%0AA").first, 400);
  EXPECT_EQ(Get("/admin/submissions?call=" + std::string(20, 'A') + "&page=").first, 200);
}

TEST_F(PagedSubmissionsTest, ADecisionBringsTheOrganiserBackToTheSameView) {
  UploadCalls();
  auto [status, html] = Get("/admin/submissions?call=ok1&page=2");
  ASSERT_EQ(status, 200);
  EXPECT_THAT(html, HasSubstr("<input type=\"hidden\" name=\"call\" value=\"ok1\">"
                              "<input type=\"hidden\" name=\"page\" value=\"2\">"));
  const std::string receipt = receipts_["OK1AM"];
  auto decide = [&](const std::string& call, const std::string& page) {
    httplib::Params form{{"csrf", csrf_}, {"receipt", receipt}, {"decision", "set-aside"},
                         {"reason", "a checklog"}, {"call", call}, {"page", page}};
    httplib::Result r = client_->Post("/admin/decision", Session(false), form);
    return r ? std::pair{r->status, r->get_header_value("Location")}
             : std::pair{-1, std::string()};
  };
  auto states = [this] {
    std::vector<std::string> all;
    for (const VersionState& v : organisers_->Overview()) all.push_back(v.state);
    return all;
  };

  // Tampered views change nothing.
  const std::vector<std::string> before = states();
  EXPECT_EQ(decide("x\r\nSet-Cookie: a=b", "2").first, 400);
  EXPECT_EQ(decide("ok1", "//evil.example/").first, 400);
  EXPECT_EQ(states(), before);

  using Answer = std::pair<int, std::string>;
  EXPECT_EQ(decide("ok1", "2"), (Answer{303, "/admin/submissions?call=ok1&page=2"}));
  EXPECT_EQ(decide("", ""), (Answer{303, "/admin/submissions"}));
  // Whatever the call, the way back is this page with its query (the client
  // reads the Location header URL-decoded).
  EXPECT_EQ(decide("https://evil.e/", "7").second,
            "/admin/submissions?call=https://evil.e/&page=7");
  EXPECT_NE(states(), before);
}

TEST(RunStartTest, OnlyOneRunAtATime) {
  InitSecrets();
  const fs::path dir = fs::temp_directory_path() / ("velmora-runs-" + RandomHex(6));
  fs::create_directories(dir);
  {
    SubmissionStore store((dir / "robot.sqlite").string());
    OrganiserStore organisers(store);
    std::optional<std::int64_t> first = organisers.StartRun("{}", "a", 1);
    ASSERT_TRUE(first);
    EXPECT_FALSE(organisers.StartRun("{}", "b", 2));
    // A robot stopped during the run: the run is marked, a new one may start.
    organisers.MarkInterruptedRuns();
    EXPECT_EQ(organisers.Run(*first)->status, "interrupted");
    EXPECT_TRUE(organisers.StartRun("{}", "b", 3));
  }
  fs::remove_all(dir);
}

}  // namespace
}  // namespace velmora::robot
