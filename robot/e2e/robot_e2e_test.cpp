// The built velmora-robot over loopback: what an entrant's upload gets back
// and what the database keeps, for the ordinary log and for every hostile or
// broken one, under floods, slow clients, failing writes and kill -9.

#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sqlite3.h>
#include <sys/mount.h>
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <barrier>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <thread>

#include <nlohmann/json.hpp>

#include "robot/e2e/robot_process.h"
#include "robot/secrets.h"

// Uploads name only the form fields they fill.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace velmora::robot::e2e {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

// velmora-replay's figures for the sample log.
constexpr int kSampleQsos = 391;
constexpr long long kSamplePoints = 1623;
constexpr int kSampleMults = 270;
constexpr long long kSampleScore = 438210;

const std::string& Sample() {
  static const std::string sample = ReadFile(VELMORA_SAMPLE);
  return sample;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

// The sample as the log of `call`.
std::string SampleOf(const std::string& call) { return Replaced(Sample(), "OK1ZEB", call); }

// The sample's header and its first `qsos` QSO lines.
std::string ShortSample(int qsos) {
  std::string text;
  std::size_t pos = 0;
  int kept = 0;
  while (pos < Sample().size()) {
    std::size_t end = Sample().find('\n', pos);
    end = end == std::string::npos ? Sample().size() : end + 1;
    std::string line = Sample().substr(pos, end - pos);
    pos = end;
    if (line.rfind("QSO:", 0) == 0 && kept++ >= qsos) continue;
    text += line;
  }
  return text;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

struct Form {
  std::string log;
  std::string email, token, confirm;
  std::string file_name = "log.cbr";
  std::string field = "log";  // "text": the log pasted into the form
};

httplib::Result Upload(httplib::Client& client, const Form& form,
                       const char* path = "/api/submit") {
  httplib::MultipartFormDataItems items = {
      {form.field, form.log, form.field == "log" ? form.file_name : "",
       form.field == "log" ? "application/octet-stream" : ""}};
  if (!form.email.empty()) items.push_back({"email", form.email, "", ""});
  if (!form.token.empty()) items.push_back({"token", form.token, "", ""});
  if (!form.confirm.empty()) items.push_back({"confirm", form.confirm, "", ""});
  return client.Post(path, items);
}

Json Body(const httplib::Result& res) {
  Json json = Json::parse(res->body, nullptr, false);
  EXPECT_FALSE(json.is_discarded()) << res->body;
  return json;
}

class RobotE2e : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { InitSecrets(); }

  void TearDown() override {
    if (server_.running()) {
      const int status = server_.Kill(SIGTERM);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
          << "velmora-robot did not end cleanly on SIGTERM: wait status " << status;
    }
  }

  // Starts the server on the test's data folder with these settings.
  void Start(const std::string& config = "", std::optional<rlim_t> file_size_limit = {}) {
    WriteFile(config_, config);
    config_text_ = config;
    file_size_limit_ = file_size_limit;
    server_.Start({VELMORA_ROBOT, data_, config_, file_size_limit});
  }

  // The same server again on the same data folder, after `signal`.
  void Restart(int signal) {
    server_.Kill(signal);
    server_.Start({VELMORA_ROBOT, data_, config_, file_size_limit_});
  }

  httplib::Client Client() const {
    httplib::Client client("127.0.0.1", server_.port());
    client.set_connection_timeout(10);
    client.set_read_timeout(60);
    client.set_write_timeout(60);
    return client;
  }

  Json Logs() {
    httplib::Client client = Client();
    auto res = client.Get("/api/logs");
    if (!res || res->status != 200) {
      ADD_FAILURE() << "GET /api/logs failed";
      return Json::array();
    }
    return Body(res);
  }

  int StoredVersions() {
    int versions = 0;
    for (const Json& log : Logs()) versions += log["versions"].get<int>();
    return versions;
  }

  // The receipt resolves, and the log it gives back is `bytes` exactly.
  void ExpectKept(const std::string& receipt, const std::string& bytes) {
    SCOPED_TRACE("receipt " + receipt);
    httplib::Client client = Client();
    auto res = client.Get("/api/receipt/" + receipt);
    ASSERT_TRUE(res);
    ASSERT_EQ(res->status, 200) << res->body;
    EXPECT_EQ(Body(res)["sha256"], Sha256Hex(bytes));
    auto log = client.Get("/api/receipt/" + receipt + "/log");
    ASSERT_TRUE(log);
    ASSERT_EQ(log->status, 200);
    EXPECT_TRUE(log->body == bytes) << "the stored log differs from the upload";
  }

  TempDir dir_;
  fs::path data_ = dir_.path() / "data";
  fs::path config_ = dir_.path() / "robot.conf";
  std::string config_text_;
  std::optional<rlim_t> file_size_limit_;
  RobotProcess server_;
};

// Only the database's own files are in the data folder.
void ExpectOnlyDatabase(const fs::path& data) {
  for (const fs::directory_entry& e : fs::directory_iterator(data)) {
    const std::string name = e.path().filename().string();
    EXPECT_TRUE(name == "robot.sqlite" || name == "robot.sqlite-wal" || name == "robot.sqlite-shm")
        << "unexpected file in the data folder: " << name;
  }
}

TEST_F(RobotE2e, SampleLogGetsTheReplayFiguresAndIsKeptByteForByte) {
  Start();
  httplib::Client client = Client();
  // A hostile file name is only a name: nothing is made under it.
  auto res = Upload(client, {.log = Sample(), .email = "op@example.org",
                             .file_name = "../../escaped.cbr"});
  ASSERT_TRUE(res);
  ASSERT_EQ(res->status, 200) << res->body;
  const Json receipt = Body(res);
  EXPECT_EQ(receipt["status"], "accepted");
  EXPECT_EQ(receipt["call"], "OK1ZEB");
  EXPECT_EQ(receipt["qsos"], kSampleQsos);
  EXPECT_EQ(receipt["points"], kSamplePoints);
  EXPECT_EQ(receipt["mults"], kSampleMults);
  EXPECT_EQ(receipt["score"], kSampleScore);
  EXPECT_EQ(receipt["version"], 1);
  EXPECT_EQ(receipt["sha256"], Sha256Hex(Sample()));
  EXPECT_EQ(receipt["token"].get<std::string>().size(), 32u);
  EXPECT_FALSE(receipt["warnings"].empty());  // the sample has a dupe and a short line
  int band_qsos = 0;
  for (const Json& b : receipt["bands"]) band_qsos += b["qsos"].get<int>();
  EXPECT_EQ(band_qsos, kSampleQsos);

  const std::string id = receipt["receipt"];
  ExpectKept(id, Sample());
  auto page = client.Get("/receipt/" + id);
  ASSERT_TRUE(page);
  EXPECT_EQ(page->status, 200);
  EXPECT_NE(page->body.find(Sha256Hex(Sample())), std::string::npos);

  auto list = client.Get("/api/logs");
  ASSERT_TRUE(list);
  EXPECT_EQ(list->body.find('@'), std::string::npos) << "an address is listed: " << list->body;
  const Json logs = Body(list);
  ASSERT_EQ(logs.size(), 1u);
  EXPECT_EQ(logs[0]["call"], "OK1ZEB");
  EXPECT_EQ(logs[0]["qsos"], kSampleQsos);
  EXPECT_EQ(logs[0]["versions"], 1);
  auto html = client.Get("/logs");
  ASSERT_TRUE(html);
  EXPECT_EQ(html->body.find("op@example.org"), std::string::npos);
  EXPECT_EQ(client.Get("/api/receipt/0123456789abcdef0123456789abcdef")->status, 404);

  ExpectOnlyDatabase(data_);
  EXPECT_FALSE(fs::exists(dir_.path() / "escaped.cbr"));
  EXPECT_FALSE(fs::exists(dir_.path().parent_path() / "escaped.cbr"));
}

// Logs as the entrants' programs and editors write them: CRLF lines, a byte
// order mark, a name in Latin-1, the call in lower case. Each gets the
// sample's figures and is kept byte for byte.
TEST_F(RobotE2e, LogsAsEditorsWriteThemGetTheSameFigures) {
  Start("uploads-per-minute = 100000\n");
  httplib::Client client = Client();
  struct Case {
    const char* what;
    std::string call, log;
  };
  const std::vector<Case> cases = {
      {"CRLF", "OK1CRL", Replaced(SampleOf("OK1CRL"), "\n", "\r\n")},
      {"byte order mark", "OK1BOM", "\xEF\xBB\xBF" + SampleOf("OK1BOM")},
      {"Latin-1 name", "OK1LAT",
       Replaced(SampleOf("OK1LAT"), "Sample Operator", "Ren\xE9 M\xFCller")},
      {"call in lower case", "OK1LOW", SampleOf("ok1low")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto res = Upload(client, {.log = c.log});
    ASSERT_TRUE(res);
    ASSERT_EQ(res->status, 200) << res->body;
    const Json receipt = Body(res);
    EXPECT_EQ(receipt["call"], c.call);
    EXPECT_EQ(receipt["qsos"], kSampleQsos);
    EXPECT_EQ(receipt["score"], kSampleScore);
    ExpectKept(receipt["receipt"], c.log);
  }
  EXPECT_EQ(Logs().size(), cases.size());
}

TEST_F(RobotE2e, RefusedAndOversizedUploadsStoreNothing) {
  Start();
  httplib::Client client = Client();
  std::mt19937 rng(11);
  std::string binary(20000, '\0');
  for (char& c : binary) c = static_cast<char>(0x80 + rng() % 0x80);  // no NUL, no newline
  std::string with_nul = Sample();
  with_nul.insert(with_nul.find("QSO:"), std::string("NAME: a\0b\n", 10));  // line 16

  struct Case {
    const char* what;
    std::string log;
    int status;
  };
  const std::vector<Case> cases = {
      {"empty file", "", 422},
      {"binary file", binary, 422},
      {"NUL byte", with_nul, 422},
      {"6 MB log", Sample() + std::string(6 << 20, '\n'), 413},
      {"10 MB line without a newline", std::string(10 << 20, 'Q'), 413},
      // One byte over the limit of the log itself, below the framing's room.
      {"limit + 1 byte", Sample() + std::string((5 << 20) + 1 - Sample().size(), '\n'), 413},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto res = Upload(client, {.log = c.log});
    ASSERT_TRUE(res) << httplib::to_string(res.error());
    EXPECT_EQ(res->status, c.status) << res->body.substr(0, 400);
    const Json body = Body(res);
    if (c.status == 422) {
      EXPECT_EQ(body["status"], "rejected");
      EXPECT_FALSE(body["errors"].empty());
    }
  }
  // The same refusal through the form, the log pasted as text.
  auto pasted = Upload(client, {.log = std::string(6 << 20, 'Q'), .field = "text"}, "/submit");
  ASSERT_TRUE(pasted);
  EXPECT_EQ(pasted->status, 413);
  auto nul = Upload(client, {.log = with_nul});
  ASSERT_TRUE(nul);
  EXPECT_EQ(Body(nul)["errors"][0]["line"], 16);

  EXPECT_TRUE(Logs().empty());
  // A log of exactly the limit is judged (and taken): the limit is inclusive.
  const std::string at_limit = Sample() + std::string((5 << 20) - Sample().size(), '\n');
  auto taken = Upload(client, {.log = at_limit});
  ASSERT_TRUE(taken);
  EXPECT_EQ(taken->status, 200) << taken->body.substr(0, 400);
  EXPECT_EQ(Logs().size(), 1u);
}

// Every page that shows an uploaded value escapes it, and every answer
// forbids inline script.
TEST_F(RobotE2e, MarkupInAnyFieldIsEscapedOnEveryPage) {
  Start();
  httplib::Client client = Client();
  const std::vector<std::string> raw = {"<script", "<img", "<b>", "<i>", "<s>", "<u>"};
  std::vector<httplib::Result> answers;
  auto check_page = [&](httplib::Result res, const std::string& escaped) {
    ASSERT_TRUE(res);
    const std::string body = Lower(res->body);
    for (const std::string& r : raw)
      EXPECT_EQ(body.find(r), std::string::npos) << "unescaped " << r << " in:\n" << res->body;
    EXPECT_NE(body.find(Lower(escaped)), std::string::npos) << escaped << " not shown in:\n"
                                                            << res->body;
    answers.push_back(std::move(res));
  };

  std::string log = SampleOf("OK2HTM");
  log = Replaced(log, "NAME: Sample Operator",
                 "NAME: <script>alert(1)</script>\nADDRESS: <img src=x onerror=alert(2)>\n"
                 "CATEGORY: <script>alert(3)</script>");
  log = Replaced(log, "SOAPBOX: Made-up", "SOAPBOX: <b>bold</b> Made-up");
  // A CATEGORY: of the old kind is only shown; the CATEGORY-* lines must go.
  for (const char* key : {"CATEGORY-OPERATOR: SINGLE-OP\n", "CATEGORY-BAND: ALL\n",
                          "CATEGORY-POWER: HIGH\n"})
    log = Replaced(log, key, "");
  log = Replaced(log, "END-OF-LOG:",
                 "QSO: 14019 CW 2017-06-04 1000 OK2HTM 599 900 <b>X1</b> 599 1\n"
                 "QSO: 14019 CW 2017-06-04 1001 OK2HTM 599 901 <b>X1</b> 599 1\n"
                 "QSO: 14019 CW 2017-06-04 1002 <i>OK</i> 599 902 XV9RMT 599 1\n"
                 "QSO: 14019 CW 2017-06-04 1003 OK2HTM 599 <u> XV9RMT 599 1\n"
                 "QSO: 14019 <s>X</s> 2017-06-04 1004 OK2HTM 599 904 XV9RMT 599 1\n"
                 "END-OF-LOG:");
  auto accepted = Upload(client, {.log = log}, "/submit");
  ASSERT_TRUE(accepted);
  ASSERT_EQ(accepted->status, 200) << accepted->body;
  const std::string page = accepted->body;
  const std::size_t at = page.find("id=\"receipt-id\">");
  ASSERT_NE(at, std::string::npos);
  const std::string id = page.substr(at + 16, 32);
  check_page(std::move(accepted), "&lt;B&gt;X1&lt;/B&gt;");
  EXPECT_NE(answers.back()->body.find("&lt;I&gt;OK&lt;/I&gt;"), std::string::npos);
  EXPECT_NE(answers.back()->body.find("&lt;s&gt;X&lt;/s&gt;"), std::string::npos);
  EXPECT_NE(answers.back()->body.find("&lt;u&gt;"), std::string::npos);
  check_page(client.Get("/logs"), "&lt;SCRIPT&gt;ALERT(3)&lt;/SCRIPT&gt;");
  check_page(client.Get("/receipt/" + id), "&lt;SCRIPT&gt;ALERT(3)&lt;/SCRIPT&gt;");

  // Refused headers: the error page quotes them, escaped.
  auto bad_call = Upload(client, {.log = Replaced(Sample(), "CALLSIGN: OK1ZEB",
                                                  "CALLSIGN: <script>alert(4)</script>")},
                         "/submit");
  ASSERT_TRUE(bad_call);
  EXPECT_EQ(bad_call->status, 422);
  check_page(std::move(bad_call), "&lt;SCRIPT&gt;ALERT(4)&lt;/SCRIPT&gt;");
  auto bad_category =
      Upload(client, {.log = Replaced(SampleOf("OK3HTM"), "CATEGORY-OPERATOR: SINGLE-OP",
                                      "CATEGORY-OPERATOR: <script>alert(5)</script>")},
             "/submit");
  ASSERT_TRUE(bad_category);
  EXPECT_EQ(bad_category->status, 422);
  check_page(std::move(bad_category), "&lt;SCRIPT&gt;ALERT(5)&lt;/SCRIPT&gt;");

  for (const char* path : {"/", "/style.css", "/api/logs", "/no-such-page"})
    answers.push_back(client.Get(path));
  answers.push_back(client.Get("/api/receipt/" + id));
  answers.push_back(client.Get("/api/receipt/" + id + "/log"));
  answers.push_back(Upload(client, {.log = ""}));
  for (const httplib::Result& res : answers) {
    ASSERT_TRUE(res);
    const std::string csp = res->get_header_value("Content-Security-Policy");
    EXPECT_NE(csp.find("default-src 'none'"), std::string::npos) << "status " << res->status;
    EXPECT_EQ(csp.find("unsafe-inline"), std::string::npos) << csp;
    EXPECT_EQ(res->get_header_value("X-Content-Type-Options"), "nosniff");
  }
}

TEST_F(RobotE2e, SqlInAnyFieldIsOnlyText) {
  Start();
  httplib::Client client = Client();
  const std::string sql = "'); DROP TABLE submissions;--";

  auto bad_email = Upload(client, {.log = SampleOf("OK1AAA"), .email = sql});
  ASSERT_TRUE(bad_email);
  EXPECT_EQ(bad_email->status, 400);
  EXPECT_EQ(Body(bad_email)["status"], "bad-email");
  // Quotes and dashes alone make a mail address; it is kept, never listed.
  auto quoted = Upload(client, {.log = SampleOf("OK1AAB"), .email = "o'hara'--@example.org",
                                .token = sql});
  ASSERT_TRUE(quoted);
  ASSERT_EQ(quoted->status, 200) << quoted->body;
  auto wrong_token = Upload(client, {.log = SampleOf("OK1AAB"), .token = sql});
  ASSERT_TRUE(wrong_token);
  EXPECT_EQ(wrong_token->status, 409);

  std::string headers = SampleOf("OK1AAC");
  headers = Replaced(headers, "NAME: Sample Operator",
                     "NAME: " + sql + "\nADDRESS: " + sql + "\nCATEGORY: " + sql);
  headers = Replaced(headers, "SOAPBOX: Made-up", "SOAPBOX: " + sql);
  for (const char* key : {"CATEGORY-OPERATOR: SINGLE-OP\n", "CATEGORY-BAND: ALL\n",
                          "CATEGORY-POWER: HIGH\n"})
    headers = Replaced(headers, key, "");
  auto in_headers = Upload(client, {.log = headers});
  ASSERT_TRUE(in_headers);
  ASSERT_EQ(in_headers->status, 200) << in_headers->body;
  EXPECT_EQ(Body(in_headers)["category"], "'); DROP TABLE SUBMISSIONS;--");
  auto as_call = Upload(client, {.log = Replaced(Sample(), "CALLSIGN: OK1ZEB", "CALLSIGN: " + sql)});
  ASSERT_TRUE(as_call);
  EXPECT_EQ(as_call->status, 422);
  auto as_category = Upload(client, {.log = Replaced(SampleOf("OK1AAD"),
                                                     "CATEGORY-OPERATOR: SINGLE-OP",
                                                     "CATEGORY-OPERATOR: " + sql)});
  ASSERT_TRUE(as_category);
  EXPECT_EQ(as_category->status, 422);
  EXPECT_EQ(client.Get("/api/receipt/'%20OR%201=1--")->status, 404);
  EXPECT_EQ(client.Get("/api/receipt/%27);DROP%20TABLE%20submissions;--/log")->status, 404);

  // A portable call: '/' is part of the call, never of a path.
  auto portable = Upload(client, {.log = SampleOf("DL/OK1ZEB/P")});
  ASSERT_TRUE(portable);
  ASSERT_EQ(portable->status, 200) << portable->body;
  const std::string portable_id = Body(portable)["receipt"];
  ExpectKept(portable_id, SampleOf("DL/OK1ZEB/P"));
  auto download = client.Get("/api/receipt/" + portable_id + "/log");
  EXPECT_EQ(download->get_header_value("Content-Disposition"),
            "attachment; filename=\"DL-OK1ZEB-P-v1.log\"");
  EXPECT_EQ(client.Get("/receipt/" + portable_id)->status, 200);

  // The tables are all there: later uploads and the lists work.
  auto later = Upload(client, {.log = SampleOf("OK1AAE")});
  ASSERT_TRUE(later);
  EXPECT_EQ(later->status, 200);
  std::vector<std::string> calls;
  for (const Json& log : Logs()) calls.push_back(log["call"]);
  EXPECT_EQ(calls, (std::vector<std::string>{"DL/OK1ZEB/P", "OK1AAB", "OK1AAC", "OK1AAE"}));
  EXPECT_EQ(client.Get("/logs")->status, 200);
  ExpectKept(Body(quoted)["receipt"], SampleOf("OK1AAB"));
  ExpectKept(Body(in_headers)["receipt"], headers);
  ExpectOnlyDatabase(data_);
}

// Sends `bytes` on a connection of its own and then nothing more.
int StalledConnection(int port, const std::string& bytes) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(bytes.size())) {
    close(fd);
    return -1;
  }
  return fd;
}

// Seconds from `since` until the server first answers on each of `fds` and
// until it closes it (-1: not within `limit` seconds).
std::vector<std::pair<double, double>> SecondsUntilCutOff(
    const std::vector<int>& fds, std::chrono::steady_clock::time_point since, int limit) {
  const auto deadline = since + std::chrono::seconds(limit);
  std::vector<std::pair<double, double>> times(fds.size(), {-1.0, -1.0});
  std::vector<pollfd> polled;
  for (int fd : fds) polled.push_back({fd, POLLIN, 0});
  char buffer[4096];
  std::size_t open = fds.size();
  while (open > 0 && std::chrono::steady_clock::now() < deadline) {
    if (poll(polled.data(), polled.size(), 50) <= 0) continue;
    const double now =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
    for (std::size_t i = 0; i < polled.size(); ++i) {
      if (polled[i].fd < 0 || !(polled[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      const ssize_t n = recv(polled[i].fd, buffer, sizeof buffer, 0);
      if (times[i].first < 0) times[i].first = now;
      if (n <= 0) {
        times[i].second = now;
        polled[i].fd = -1;
        --open;
      }
    }
  }
  return times;
}

TEST_F(RobotE2e, StalledClientsAreCutOffWhileOthersAreServed) {
  Start("read-timeout-seconds = 2\n");
  const auto start = std::chrono::steady_clock::now();
  // One stops inside the headers, one inside the body it announced.
  const int in_headers = StalledConnection(server_.port(), "POST /api/submit HTTP/1.1\r\nHost: 1");
  const int in_body = StalledConnection(
      server_.port(),
      "POST /api/submit HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: multipart/form-data; "
      "boundary=xx\r\nContent-Length: 100000\r\n\r\n--xx\r\nContent-Disposition: form-data; "
      "name=\"log\"; filename=\"a.cbr\"\r\n\r\nSTART-OF-LOG: 3.0\r\n");
  ASSERT_GE(in_headers, 0);
  ASSERT_GE(in_body, 0);
  // Meanwhile the others are served at once.
  httplib::Client client = Client();
  auto res = Upload(client, {.log = Sample()});
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 200);
  EXPECT_EQ(client.Get("/api/logs")->status, 200);
  // ... while the stalled ones still hang: no answer on them yet.
  for (int fd : {in_headers, in_body}) {
    pollfd p{fd, POLLIN, 0};
    EXPECT_EQ(poll(&p, 1, 0), 0) << "the others waited for the stalled clients";
  }

  // Each is refused once the read timeout has passed without a byte, and
  // closed after the keep-alive time of the connection (2 s) at the latest.
  for (const auto& [answered, closed] : SecondsUntilCutOff({in_headers, in_body}, start, 30)) {
    EXPECT_GE(answered, 1.5) << "cut off before the read timeout";
    EXPECT_LT(answered, 6) << "not cut off soon after the 2 s read timeout";
    EXPECT_GT(closed, 0) << "the connection is still open after 30 s";
    EXPECT_LT(closed, 15);
  }
  close(in_headers);
  close(in_body);
  EXPECT_EQ(StoredVersions(), 1);
}

// Browsers keep a connection open after a page. Sixteen of them idle must
// not hold up the next entrant until their keep-alive time ends.
TEST_F(RobotE2e, IdleKeepAliveConnectionsDoNotHoldUpOthers) {
  Start();
  std::vector<int> idle;
  char buffer[8192];
  for (int i = 0; i < 16; ++i) {
    const int fd = StalledConnection(server_.port(), "GET /style.css HTTP/1.1\r\nHost: 1\r\n\r\n");
    ASSERT_GE(fd, 0);
    idle.push_back(fd);
  }
  for (int fd : idle) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 100) > 0) (void)recv(fd, buffer, sizeof buffer, 0);
  }
  const auto start = std::chrono::steady_clock::now();
  httplib::Client client = Client();
  auto res = client.Get("/");
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 200);
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 2)
      << "an entrant waited for idle connections";
  for (int fd : idle) close(fd);
}

TEST_F(RobotE2e, FloodFromOneAddressIsRefusedWithRetryAfter) {
  Start("uploads-per-minute = 5\n");
  httplib::Client client = Client();
  for (int i = 0; i < 5; ++i) {
    auto res = Upload(client, {.log = SampleOf("OK1FL" + std::string(1, char('A' + i)))});
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200) << res->body;
  }
  for (const char* path : {"/api/submit", "/submit"}) {
    auto res = Upload(client, {.log = SampleOf("OK1FLZ")}, path);
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 429) << path;
    const int retry_after = std::atoi(res->get_header_value("Retry-After").c_str());
    EXPECT_GE(retry_after, 1) << path;
    EXPECT_LE(retry_after, 60) << path;
  }
  EXPECT_EQ(Logs().size(), 5u);
  EXPECT_EQ(client.Get("/api/logs")->status, 200) << "reading is not limited";
}

TEST_F(RobotE2e, TokenGuardsACallAndShortReplacementsNeedConfirming) {
  Start();
  httplib::Client client = Client();
  auto first = Upload(client, {.log = Sample()});
  ASSERT_TRUE(first);
  ASSERT_EQ(first->status, 200);
  const std::string token = Body(first)["token"];

  auto missing = Upload(client, {.log = Sample()});
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->status, 409);
  EXPECT_EQ(Body(missing)["status"], "token-refused");
  auto wrong = Upload(client, {.log = Sample(), .token = std::string(32, 'a')});
  ASSERT_TRUE(wrong);
  EXPECT_EQ(wrong->status, 409);
  EXPECT_EQ(Body(wrong)["status"], "token-refused");
  EXPECT_EQ(StoredVersions(), 1);

  const std::string short_log = ShortSample(150);
  auto unconfirmed = Upload(client, {.log = short_log, .token = token});
  ASSERT_TRUE(unconfirmed);
  EXPECT_EQ(unconfirmed->status, 409);
  EXPECT_EQ(Body(unconfirmed)["status"], "confirm");
  EXPECT_EQ(Body(unconfirmed)["replaced_qsos"], kSampleQsos);
  EXPECT_EQ(StoredVersions(), 1);

  auto confirmed = Upload(client, {.log = short_log, .token = "  " + token + "\n",
                                   .confirm = "1"});
  ASSERT_TRUE(confirmed);
  ASSERT_EQ(confirmed->status, 200) << confirmed->body;
  const Json second = Body(confirmed);
  EXPECT_EQ(second["version"], 2);
  EXPECT_FALSE(second.contains("token")) << "the token is given with the first log only";
  const Json logs = Logs();
  ASSERT_EQ(logs.size(), 1u);
  EXPECT_EQ(logs[0]["versions"], 2);
  EXPECT_EQ(logs[0]["qsos"], second["qsos"]);
  ExpectKept(Body(first)["receipt"], Sample());
  ExpectKept(second["receipt"], short_log);
}

TEST_F(RobotE2e, SimultaneousVersionsOfOneCallAreAllKept) {
  Start("uploads-per-minute = 100000\n");
  httplib::Client client = Client();
  auto first = Upload(client, {.log = Sample()});
  ASSERT_TRUE(first);
  ASSERT_EQ(first->status, 200);
  const std::string token = Body(first)["token"];
  const std::string logs[2] = {Sample(), ShortSample(300)};

  constexpr int kRounds = 15;
  std::barrier together(2);
  std::mutex mutex;
  std::map<int, std::string> versions;  // version -> receipt
  std::vector<std::string> faults;
  auto sender = [&](int which) {
    httplib::Client c = Client();
    for (int round = 0; round < kRounds; ++round) {
      together.arrive_and_wait();
      auto res = Upload(c, {.log = logs[which], .token = token});
      std::lock_guard lock(mutex);
      if (!res || res->status != 200) {
        faults.push_back(res ? std::to_string(res->status) + " " + res->body
                             : httplib::to_string(res.error()));
        continue;
      }
      const Json body = Json::parse(res->body);
      if (!versions.emplace(body["version"].get<int>(), body["receipt"]).second)
        faults.push_back("version " + std::to_string(body["version"].get<int>()) + " given twice");
    }
  };
  std::thread a(sender, 0), b(sender, 1);
  a.join();
  b.join();
  EXPECT_TRUE(faults.empty()) << faults.front();
  ASSERT_EQ(versions.size(), 2u * kRounds);
  EXPECT_EQ(versions.begin()->first, 2);
  EXPECT_EQ(versions.rbegin()->first, 2 * kRounds + 1);

  const Json listed = Logs();
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0]["versions"], 2 * kRounds + 1);
  auto newest = client.Get("/api/receipt/" + versions.rbegin()->second);
  ASSERT_TRUE(newest);
  EXPECT_EQ(listed[0]["qsos"], Body(newest)["qsos"]) << "the list does not show the newest";
  for (const auto& [version, receipt] : versions) {
    auto res = client.Get("/api/receipt/" + receipt);
    ASSERT_TRUE(res);
    ASSERT_EQ(res->status, 200);
    EXPECT_EQ(Body(res)["version"], version);
  }
}

TEST_F(RobotE2e, DeadMailRelayDoesNotHoldUpTheReceipt) {
  Start("mail-relay = smtp://127.0.0.1:1\nmail-from = robot@example.org\n");
  httplib::Client client = Client();
  auto res = Upload(client, {.log = Sample(), .email = "op@example.org"});
  ASSERT_TRUE(res);
  ASSERT_EQ(res->status, 200) << res->body;
  ExpectKept(Body(res)["receipt"], Sample());
  auto again = Upload(client, {.log = SampleOf("OK1MAI"), .email = "op@example.org"});
  ASSERT_TRUE(again);
  EXPECT_EQ(again->status, 200);
}

// Writes that fail (a read-only or full disk): the upload is refused with
// 503 and nothing of it is kept; reads go on; once writes work again the
// uploads do, and every receipt given is in the database after a restart.
TEST_F(RobotE2e, FailingWritesRefuseTheUploadAndKeepNothingOfIt) {
  Start("uploads-per-minute = 100000\n", RLIM_INFINITY);
  httplib::Client client = Client();
  auto before = Upload(client, {.log = SampleOf("OK1RO")});
  ASSERT_TRUE(before);
  ASSERT_EQ(before->status, 200);

  // Root writes through file modes; a file size limit of 0 stops every write.
  rlimit none{0, RLIM_INFINITY};
  ASSERT_EQ(prlimit(server_.pid(), RLIMIT_FSIZE, &none, nullptr), 0);
  for (const char* call : {"OK1RP", "OK1RO"}) {
    auto refused = Upload(client, {.log = SampleOf(call), .token = Body(before)["token"]});
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 503) << refused->body;
    EXPECT_EQ(Body(refused)["status"], "unavailable");
  }
  EXPECT_EQ(StoredVersions(), 1);
  ExpectKept(Body(before)["receipt"], SampleOf("OK1RO"));

  rlimit all{RLIM_INFINITY, RLIM_INFINITY};
  ASSERT_EQ(prlimit(server_.pid(), RLIMIT_FSIZE, &all, nullptr), 0);
  auto after = Upload(client, {.log = SampleOf("OK1RP")});
  ASSERT_TRUE(after);
  ASSERT_EQ(after->status, 200) << after->body;

  Restart(SIGKILL);
  EXPECT_EQ(StoredVersions(), 2);
  ExpectKept(Body(before)["receipt"], SampleOf("OK1RO"));
  ExpectKept(Body(after)["receipt"], SampleOf("OK1RP"));
}

// A tmpfs of its own as the data folder; unmounted when the test ends.
class SmallDisk {
 public:
  SmallDisk(const fs::path& where, const char* size) : where_(where) {
    fs::create_directories(where);
    const std::string options = std::string("size=") + size;
    mounted_ = mount("tmpfs", where.c_str(), "tmpfs", 0, options.c_str()) == 0;
  }
  ~SmallDisk() {
    if (mounted_) umount2(where_.c_str(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }

 private:
  fs::path where_;
  bool mounted_ = false;
};

// Fills the disk of `path` with a file of its own; returns its size.
std::size_t Fill(const fs::path& path) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return 0;
  const std::string block(4096, 'F');
  std::size_t total = 0;
  ssize_t n;
  while ((n = write(fd, block.data(), block.size())) > 0) total += static_cast<std::size_t>(n);
  close(fd);
  return total;
}

TEST_F(RobotE2e, FullDiskRefusesTheUploadAndRecoversOnceFreed) {
  SmallDisk disk(data_, "2m");
  if (!disk.mounted()) GTEST_SKIP() << "no right to mount a tmpfs here";
  Start("uploads-per-minute = 100000\n");
  httplib::Client client = Client();
  std::vector<std::pair<std::string, std::string>> kept;  // receipt, log
  for (const char* call : {"OK1DA", "OK1DB"}) {
    auto res = Upload(client, {.log = SampleOf(call)});
    ASSERT_TRUE(res);
    ASSERT_EQ(res->status, 200) << res->body;
    kept.emplace_back(Body(res)["receipt"], SampleOf(call));
  }
  ASSERT_GT(Fill(data_ / "filler"), 0u);
  for (const char* call : {"OK1DC", "OK1DD"}) {
    auto refused = Upload(client, {.log = SampleOf(call)});
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 503) << refused->body;
  }
  EXPECT_EQ(StoredVersions(), 2);
  for (const auto& [receipt, log] : kept) ExpectKept(receipt, log);

  fs::remove(data_ / "filler");
  auto freed = Upload(client, {.log = SampleOf("OK1DC")});
  ASSERT_TRUE(freed);
  ASSERT_EQ(freed->status, 200) << freed->body;
  kept.emplace_back(Body(freed)["receipt"], SampleOf("OK1DC"));

  Restart(SIGKILL);
  EXPECT_EQ(StoredVersions(), 3);
  for (const auto& [receipt, log] : kept) ExpectKept(receipt, log);
  server_.Kill(SIGTERM);
}

// What the database holds, read beside the running server.
struct StoredRow {
  std::string receipt, call, sha256, bytes_sha256;
  int version = 0;
};

std::vector<StoredRow> ReadDatabase(const fs::path& file, std::string& integrity) {
  sqlite3* db = nullptr;
  std::vector<StoredRow> rows;
  if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    integrity = sqlite3_errmsg(db);
    sqlite3_close(db);
    return rows;
  }
  sqlite3_busy_timeout(db, 10000);
  sqlite3_stmt* q = nullptr;
  sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &q, nullptr);
  integrity = sqlite3_step(q) == SQLITE_ROW
                  ? reinterpret_cast<const char*>(sqlite3_column_text(q, 0))
                  : sqlite3_errmsg(db);
  sqlite3_finalize(q);
  sqlite3_prepare_v2(db, "SELECT receipt, call, version, sha256, bytes FROM submissions", -1, &q,
                     nullptr);
  while (sqlite3_step(q) == SQLITE_ROW) {
    StoredRow row;
    row.receipt = reinterpret_cast<const char*>(sqlite3_column_text(q, 0));
    row.call = reinterpret_cast<const char*>(sqlite3_column_text(q, 1));
    row.version = sqlite3_column_int(q, 2);
    row.sha256 = reinterpret_cast<const char*>(sqlite3_column_text(q, 3));
    const void* bytes = sqlite3_column_blob(q, 4);
    row.bytes_sha256 = Sha256Hex(std::string_view(static_cast<const char*>(bytes),
                                                  static_cast<std::size_t>(sqlite3_column_bytes(q, 4))));
    rows.push_back(std::move(row));
  }
  sqlite3_finalize(q);
  sqlite3_close(db);
  return rows;
}

TEST_F(RobotE2e, KillNineAtAnyMomentLosesNoReceiptAndHalvesNoVersion) {
  Start("uploads-per-minute = 100000\n");
  struct Given {
    std::string receipt, sha256;
  };
  std::vector<Given> given;
  std::map<std::string, std::string> tokens;  // call -> token
  std::mt19937 rng(2017);
  int made = 0;
  constexpr int kRounds = 10;
  for (int round = 0; round < kRounds; ++round) {
    std::atomic<bool> stop = false;
    std::mutex mutex;
    std::thread uploader([&, port = server_.port(), seed = rng()] {
      std::mt19937 pick(seed);
      httplib::Client c("127.0.0.1", port);
      c.set_connection_timeout(5);
      c.set_read_timeout(30);
      while (!stop) {
        std::string call, token;
        {
          std::lock_guard lock(mutex);
          if (!tokens.empty() && pick() % 2) {  // a new version of a known call
            auto it = std::next(tokens.begin(), pick() % tokens.size());
            call = it->first;
            token = it->second;
          } else {
            const int n = made++;
            call = "OK" + std::to_string(n % 10) + char('A' + n / 10 % 26) +
                   char('A' + n / 260 % 26) + "K";
          }
        }
        const std::string log =
            Replaced(SampleOf(call), "SOAPBOX: Made-up",
                     "SOAPBOX: upload " + std::to_string(pick()) + " Made-up");
        auto res = Upload(c, {.log = log, .token = token});
        if (!res || res->status != 200) continue;  // cut off by the kill
        const Json body = Json::parse(res->body, nullptr, false);
        std::lock_guard lock(mutex);
        given.push_back({body["receipt"], body["sha256"]});
        if (body["sha256"] != Sha256Hex(log)) ADD_FAILURE() << "the receipt's sha256 is not the log's";
        if (body.contains("token")) tokens[call] = body["token"];
      }
    });
    // The kill falls anywhere in a stream of uploads, once this round's
    // first receipt is given.
    const std::size_t before = [&] {
      std::lock_guard lock(mutex);
      return given.size();
    }();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
      {
        std::lock_guard lock(mutex);
        if (given.size() > before) break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(rng() % 250));
    server_.Kill(SIGKILL);
    stop = true;
    uploader.join();
    server_.Start({VELMORA_ROBOT, data_, config_, {}});
    httplib::Client client = Client();
    for (const Given& g : given) {
      auto res = client.Get("/api/receipt/" + g.receipt);
      ASSERT_TRUE(res);
      ASSERT_EQ(res->status, 200) << "round " << round << ": receipt " << g.receipt << " lost";
      EXPECT_EQ(Body(res)["sha256"], g.sha256);
    }
  }
  EXPECT_GE(given.size(), static_cast<std::size_t>(kRounds)) << "no upload between the kills";

  std::string integrity;
  const std::vector<StoredRow> rows = ReadDatabase(data_ / "robot.sqlite", integrity);
  EXPECT_EQ(integrity, "ok");
  EXPECT_GE(rows.size(), given.size());
  std::map<std::string, std::set<int>> versions;
  httplib::Client client = Client();
  for (const StoredRow& row : rows) {
    EXPECT_EQ(row.sha256, row.bytes_sha256) << "version " << row.version << " of " << row.call
                                            << " is stored half";
    versions[row.call].insert(row.version);
    auto res = client.Get("/api/receipt/" + row.receipt + "/log");
    ASSERT_TRUE(res);
    ASSERT_EQ(res->status, 200);
    EXPECT_EQ(Sha256Hex(res->body), row.sha256);
  }
  for (const auto& [call, numbers] : versions) {
    EXPECT_EQ(*numbers.begin(), 1) << call;
    EXPECT_EQ(*numbers.rbegin(), static_cast<int>(numbers.size())) << call << ": a version is missing";
  }
  const Json listed = Logs();
  EXPECT_EQ(listed.size(), versions.size());
  for (const Json& log : listed)
    EXPECT_EQ(log["versions"], versions[log["call"].get<std::string>()].size()) << log.dump();
}

}  // namespace
}  // namespace velmora::robot::e2e

namespace velmora::robot::e2e {
namespace {

// The organisers' side around a kill: a run cut off by kill -9 is never half
// stored, its scratch files go at the next start, and a new check runs.
TEST_F(RobotE2e, ACheckKilledMidRunLeavesNoHalfRunAndRunsAgain) {
  Start("uploads-per-minute = 1000\ncategory-mode = CW MIXED\n"
        "contest-start = 2020-01-13 16:30\ncontest-end = 2020-01-13 17:29\n");
  const std::string marker = "shown only now): ";
  const std::string banner = server_.banner();
  ASSERT_NE(banner.find(marker), std::string::npos) << banner;
  const std::string password =
      banner.substr(banner.find(marker) + marker.size(),
                    banner.find('\n', banner.find(marker)) - banner.find(marker) - marker.size());
  httplib::Client uploads = Client();
  for (const fs::directory_entry& e :
       fs::directory_iterator(VELMORA_TESTDATA "/real-contest/mwc-2020-01-13")) {
    if (e.path().extension() != ".log") continue;
    std::ifstream in(e.path(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    auto res = uploads.Post("/api/submit", httplib::MultipartFormDataItems{{"log", bytes, "x", ""}});
    ASSERT_TRUE(res);
    ASSERT_EQ(res->status, 200) << e.path() << res->body;
  }
  auto login = [&] {
    auto res = Client().Post("/api/admin/login", Json{{"password", password}}.dump(),
                             "application/json");
    EXPECT_TRUE(res && res->status == 200);
    const std::string cookie = res->get_header_value("Set-Cookie");
    return httplib::Headers{{"Cookie", cookie.substr(0, cookie.find(';'))},
                            {"X-CSRF-Token", Body(res)["csrf"].get<std::string>()}};
  };
  auto run_state = [&](const httplib::Headers& session) {
    auto res = Client().Get("/api/admin/runs", session);
    return res && res->status == 200 && !Body(res).empty() ? Body(res)[0] : Json();
  };

  // A run that ends in the moment between being seen running and the kill is
  // whole and done; the kill is tried again on a new run then.
  httplib::Headers session = login();
  Json run = Json::object();
  for (int attempt = 0; attempt < 5 && run.value("status", "") != "interrupted"; ++attempt) {
    std::thread check([&, session] {
      Client().Post("/api/admin/check", session, "{}", "application/json");  // cut off
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (run_state(session)["status"] != "running" &&
           std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    Restart(SIGKILL);
    check.join();
    session = login();
    run = run_state(session);
    ASSERT_TRUE(run.is_object());
    ASSERT_NE(run["status"], "running") << "a run left running after the restart";
  }
  ASSERT_EQ(run["status"], "interrupted") << "no run was caught while it ran: " << run;
  const std::string id = std::to_string(run["run"].get<int>());
  auto results = Client().Get("/admin/runs/" + id + "/results.html", session);
  ASSERT_TRUE(results);
  EXPECT_EQ(results->status, 404) << "an interrupted run has no results";
  EXPECT_FALSE(fs::exists(data_ / "runs" / ("run-" + id))) << "its scratch files stay";

  auto again = Client().Post("/api/admin/check", session, "{}", "application/json");
  ASSERT_TRUE(again);
  ASSERT_EQ(again->status, 200) << again->body;
  EXPECT_EQ(Body(again)["status"], "done");
  auto publish = Client().Post("/api/admin/publish", session,
                               Json{{"run", Body(again)["run"]}}.dump(), "application/json");
  ASSERT_TRUE(publish);
  EXPECT_EQ(publish->status, 200);
  auto published = Client().Get("/api/results");
  ASSERT_TRUE(published);
  EXPECT_EQ(published->status, 200);
  EXPECT_EQ(Body(published).size(), 83u);
}

// The organisers' two commands beside the running robot: a consistent copy
// of the database, and a new password read from standard input.
TEST_F(RobotE2e, ABackupAndANewPasswordWhileItRuns) {
  Start();
  httplib::Client client = Client();
  auto res = Upload(client, {.log = Sample()});
  ASSERT_TRUE(res);
  ASSERT_EQ(res->status, 200);
  const std::string receipt = Body(res)["receipt"];

  const fs::path copy = dir_.path() / "backup.sqlite";
  const std::string backup = std::string(VELMORA_ROBOT) + " --data " + data_.string() +
                             " --backup " + copy.string() + " >/dev/null";
  ASSERT_EQ(std::system(backup.c_str()), 0);
  std::string integrity;
  const std::vector<StoredRow> rows = ReadDatabase(copy, integrity);
  EXPECT_EQ(integrity, "ok");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].receipt, receipt);
  EXPECT_EQ(rows[0].bytes_sha256, rows[0].sha256);
  EXPECT_FALSE(fs::exists(copy.string() + ".partial"));

  auto set_password = [&](const std::string& password) {
    FILE* in = popen((std::string(VELMORA_ROBOT) + " --data " + data_.string() +
                      " --set-password >/dev/null 2>&1").c_str(), "w");
    if (!in) return -1;
    std::fputs((password + "\n").c_str(), in);
    const int status = pclose(in);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  EXPECT_EQ(set_password("short"), 2) << "a password under 10 characters is refused";
  ASSERT_EQ(set_password("a new long password"), 0);
  auto login = [&](const std::string& password) {
    auto r = Client().Post("/api/admin/login", Json{{"password", password}}.dump(),
                           "application/json");
    return r ? r->status : -1;
  };
  EXPECT_EQ(login("a new long password"), 200);
  EXPECT_EQ(login("short"), 403);
}

}  // namespace
}  // namespace velmora::robot::e2e
