#include "robot/admin_routes.h"

#include <httplib.h>
#include <sodium.h>

#include "check/contest.h"
#include "check/standings.h"
#include "readers/text_scan.h"
#include "robot/admin_pages.h"
#include "robot/csv_rows.h"
#include "robot/http_answers.h"
#include "robot/robot_pages.h"
#include "robot/submissions_view.h"
#include "robot/zip_archive.h"

namespace velmora::robot {

namespace {

constexpr const char* kCookie = "velmora_session";

std::string SessionId(const httplib::Request& req) {
  const std::string cookies = req.get_header_value("Cookie");
  const std::string key = std::string(kCookie) + "=";
  std::size_t pos = 0;
  while (pos < cookies.size()) {
    std::size_t end = cookies.find(';', pos);
    if (end == std::string::npos) end = cookies.size();
    std::string pair = Trimmed(cookies.substr(pos, end - pos));
    if (pair.rfind(key, 0) == 0) return pair.substr(key.size());
    pos = end + 1;
  }
  return "";
}

std::optional<std::string> CsrfOf(const httplib::Request& req) {
  if (req.has_header("X-CSRF-Token")) return req.get_header_value("X-CSRF-Token");
  std::string field = Field(req, "csrf");
  if (!field.empty()) return field;
  return std::string("-");  // none given: matches no session's token
}

// The text of line `number` (1-based) of `text`.
std::string_view LineOf(std::string_view text, int number) {
  std::size_t pos = 0;
  for (int n = 1; n < number; ++n) {
    pos = text.find('\n', pos);
    if (pos == std::string_view::npos) return {};
    ++pos;
  }
  std::size_t end = text.find('\n', pos);
  return text.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
}

std::optional<std::int64_t> NumberField(const httplib::Request& req, const char* name) {
  const std::string text = Trimmed(Field(req, name));
  int value = 0;
  if (!ParseDigits(text, value)) return std::nullopt;
  return value;
}

// The style-src of a page whose one inline style block is allowed by its hash.
std::string StyleHashPolicy(const std::string& html) {
  const std::size_t open = html.find("<style>"), close = html.find("</style>");
  std::string policy = "default-src 'none'; base-uri 'none'; frame-ancestors 'none'; style-src";
  if (open == std::string::npos || close == std::string::npos || close < open)
    return policy + " 'none'";
  const std::string style = html.substr(open + 7, close - open - 7);
  unsigned char hash[crypto_hash_sha256_BYTES];
  crypto_hash_sha256(hash, reinterpret_cast<const unsigned char*>(style.data()), style.size());
  char base64[sodium_base64_ENCODED_LEN(sizeof hash, sodium_base64_VARIANT_ORIGINAL)];
  sodium_bin2base64(base64, sizeof base64, hash, sizeof hash, sodium_base64_VARIANT_ORIGINAL);
  return policy + " 'sha256-" + base64 + "'";
}

// The results page for the public: the calls without their links to the
// reports, which only the organisers and each entrant (with its token) read.
std::string WithoutReportLinks(const std::string& html) {
  const std::string open = "<a href=\"reports/";
  std::string out;
  out.reserve(html.size());
  std::size_t pos = 0;
  for (std::size_t at; (at = html.find(open, pos)) != std::string::npos;) {
    const std::size_t end = html.find('>', at);
    const std::size_t close = html.find("</a>", at);
    if (end == std::string::npos || close == std::string::npos || close < end) break;
    out.append(html, pos, at - pos).append(html, end + 1, close - end - 1);
    pos = close + 4;
  }
  return out.append(html, pos, std::string::npos);
}

}  // namespace

AdminRoutes::AdminRoutes(const RobotConfig& config, SubmissionStore& submissions,
                         OrganiserStore& store, OrganiserGate& gate, CheckRunner& runner,
                         Clock clock, MailQueued mail_queued)
    : config_(config), submissions_(submissions), store_(store), gate_(gate), runner_(runner),
      clock_(std::move(clock)), mail_queued_(std::move(mail_queued)) {}

void AdminRoutes::Guarded(httplib::Server& server, bool post, const std::string& pattern,
                          bool change, Handler handler) {
  auto guarded = [this, change, handler](const httplib::Request& req, httplib::Response& res) {
    std::optional<Session> session = gate_.Authorize(
        SessionId(req), change ? CsrfOf(req) : std::nullopt, clock_());
    if (!session) {
      const std::string message = change ? "organisers only: log in, and send the form's token"
                                         : "organisers only: log in first";
      if (WantsJson(req)) return SendJson(res, 403, {{"status", "error"}, {"message", message}});
      return SendPage(res, 403, RobotPage("Organisers only", "<p role=\"alert\">" + message +
                                                                 ". <a href=\"/admin/login\">"
                                                                 "Log in</a></p>\n",
                                          true));
    }
    handler(req, res, *session);
  };
  if (post) server.Post(pattern, guarded);
  else server.Get(pattern, guarded);
}

void AdminRoutes::Done(const httplib::Request& req, httplib::Response& res,
                       const std::string& page, const Json& json) {
  if (WantsJson(req)) SendJson(res, 200, json);
  else res.set_redirect(page, 303);
}

void AdminRoutes::Register(httplib::Server& s) {
  s.Get("/admin/login", [](const httplib::Request&, httplib::Response& res) {
    SendPage(res, 200, LoginPage(""));
  });
  for (const char* path : {"/admin/login", "/api/admin/login"})
    s.Post(path, [this](const httplib::Request& req, httplib::Response& res) { Login(req, res); });
  for (const char* path : {"/admin/logout", "/api/admin/logout"})
    Guarded(s, true, path, true, [this](const httplib::Request& req, httplib::Response& res,
                                        const Session&) { Logout(req, res); });
  Guarded(s, false, "/admin", false,
          [this](const httplib::Request&, httplib::Response& res, const Session& session) {
            ConsoleState state;
            state.closed_at = store_.ClosedAt();
            state.close_time = config_.close_unix;
            state.published_run = store_.PublishedRun();
            state.organiser = session.organiser;
            std::tie(state.calls, state.versions) = submissions_.Counts();
            SendPage(res, 200, ConsolePage(state, session.csrf));
          });
  Guarded(s, false, "/admin/submissions", false,
          [this](const httplib::Request& req, httplib::Response& res, const Session& session) {
            Submissions(req, res, session);
          });
  Guarded(s, false, "/api/admin/submissions", false,
          [this](const httplib::Request&, httplib::Response& res, const Session&) {
            // Written row by row: the texts a person typed through the JSON
            // library, the rest (numbers, hex, the stored warnings) as they are.
            auto text = [](const std::string& value) { return DumpJson(value); };
            std::string list = "[";
            for (const VersionState& v : store_.Overview()) {
              const Submission& s = v.submission;
              if (list.size() > 1) list += ',';
              list += "{\"receipt\":\"" + s.receipt + "\",\"sha256\":\"" + s.sha256 +
                      "\",\"received\":\"" + UtcText(s.received) + "\",\"call\":" +
                      text(s.call) + ",\"category\":" + text(s.category) +
                      ",\"version\":" + std::to_string(s.version) +
                      ",\"qsos\":" + std::to_string(s.qsos) +
                      ",\"points\":" + std::to_string(s.points) +
                      ",\"mults\":" + std::to_string(s.mults) +
                      ",\"score\":" + std::to_string(s.score) + ",\"claimed\":" +
                      (s.claimed ? std::to_string(*s.claimed) : "null") +
                      ",\"late\":" + (s.late ? "true" : "false") + ",\"state\":" +
                      text(v.state) + ",\"reason\":" + text(v.reason) + ",\"warnings\":" +
                      (s.warnings_json.empty() ? "[]" : s.warnings_json) + "}";
            }
            res.set_content(list + "]\n", "application/json");
          });
  for (const char* path : {"/admin/decision", "/api/admin/decision"})
    Guarded(s, true, path, true, [this](const httplib::Request& req, httplib::Response& res,
                                        const Session& session) { Decide(req, res, session); });
  Guarded(s, false, "/admin/missing", false,
          [this](const httplib::Request&, httplib::Response& res, const Session&) {
            SendPage(res, 200, MissingPage(store_.Missing(config_.missing_threshold),
                                           config_.missing_threshold));
          });
  Guarded(s, false, "/api/admin/missing", false,
          [this](const httplib::Request&, httplib::Response& res, const Session&) {
            Json list = Json::array();
            for (const MissingLog& m : store_.Missing(config_.missing_threshold))
              list.push_back({{"call", m.call}, {"logs", m.logs}});
            SendJson(res, 200, list);
          });
  Guarded(s, false, "/admin/rulings", false,
          [this](const httplib::Request&, httplib::Response& res, const Session& session) {
            SendPage(res, 200, RulingsPage(store_.Rulings(), session.csrf, ""));
          });
  Guarded(s, false, "/api/admin/rulings", false,
          [this](const httplib::Request&, httplib::Response& res, const Session&) {
            Json list = Json::array();
            for (const RulingRecord& r : store_.Rulings())
              list.push_back({{"id", r.id}, {"log", r.call}, {"line", r.line},
                              {"verdict", r.verdict}, {"reason", r.reason},
                              {"organiser", r.organiser}, {"made", UtcText(r.made)},
                              {"withdrawn", r.withdrawn ? Json(UtcText(*r.withdrawn)) : Json()}});
            SendJson(res, 200, list);
          });
  for (const char* path : {"/admin/rulings", "/api/admin/rulings"})
    Guarded(s, true, path, true, [this](const httplib::Request& req, httplib::Response& res,
                                        const Session& session) { AddRuling(req, res, session); });
  for (const char* path : {"/admin/rulings/([0-9]{1,18})/withdraw",
                           "/api/admin/rulings/([0-9]{1,18})/withdraw"})
    Guarded(s, true, path, true,
            [this](const httplib::Request& req, httplib::Response& res, const Session& session) {
              if (!store_.WithdrawRuling(std::stoll(req.matches[1]), session.organiser, clock_()))
                return SendProblem(req, res, 404, "No such ruling",
                                   "no ruling in force has that number");
              Done(req, res, "/admin/rulings", {{"withdrawn", std::stoll(req.matches[1])}});
            });
  for (const char* path : {"/admin/close", "/api/admin/close"})
    Guarded(s, true, path, true,
            [this](const httplib::Request& req, httplib::Response& res, const Session&) {
              store_.Close(clock_());
              Done(req, res, "/admin", {{"closed", UtcText(*store_.ClosedAt())}});
            });
  for (const char* path : {"/admin/check", "/api/admin/check"})
    Guarded(s, true, path, true, [this](const httplib::Request& req, httplib::Response& res,
                                        const Session& session) { Check(req, res, session); });
  Guarded(s, false, "/admin/runs", false,
          [this](const httplib::Request&, httplib::Response& res, const Session& session) {
            SendPage(res, 200, RunsPage(store_.Runs(), store_.PublishedRun(), session.csrf));
          });
  Guarded(s, false, "/api/admin/runs", false,
          [this](const httplib::Request&, httplib::Response& res, const Session&) {
            Json list = Json::array();
            for (const RunRecord& r : store_.Runs())
              list.push_back({{"run", r.id}, {"status", r.status}, {"progress", r.progress},
                              {"logs", r.logs}, {"started", UtcText(r.started)},
                              {"settings", Json::parse(r.settings, nullptr, false)}});
            SendJson(res, 200, list);
          });
  Guarded(s, false, "/admin/runs/([0-9]{1,18})/results.html", false,
          [this](const httplib::Request& req, httplib::Response& res, const Session&) {
            std::optional<std::string> html = store_.RunFile(std::stoll(req.matches[1]), "results_html");
            if (!html) return SendProblem(req, res, 404, "No such run", "no finished run of that number");
            res.headers.erase("Content-Security-Policy");  // else two policies, both enforced
            res.set_header("Content-Security-Policy", StyleHashPolicy(*html));
            SendPage(res, 200, *html);
          });
  Guarded(s, false, "/admin/runs/([0-9]{1,18})/reports/([A-Z0-9_-]{1,40})\\.(txt|json)", false,
          [this](const httplib::Request& req, httplib::Response& res, const Session&) {
            const std::int64_t run = std::stoll(req.matches[1]);
            for (const std::string& call : store_.RunCalls(run)) {
              if (check::ReportName(call) != req.matches[2]) continue;
              std::optional<RunOutput::Report> r = store_.RunReport(run, call);
              if (!r) break;
              if (req.matches[3] == "json") return res.set_content(r->json, "application/json");
              return res.set_content(r->txt, "text/plain; charset=utf-8");
            }
            SendProblem(req, res, 404, "No such report", "the run has no report of that name");
          });
  for (const char* path : {"/admin/runs/([0-9]{1,18})/zip", "/api/admin/runs/([0-9]{1,18})/zip"})
    Guarded(s, false, path, false,
            [this](const httplib::Request& req, httplib::Response& res, const Session&) {
              Zip(req, res);
            });
  for (const char* path : {"/admin/publish", "/api/admin/publish"})
    Guarded(s, true, path, true,
            [this](const httplib::Request& req, httplib::Response& res, const Session&) {
              Publish(req, res);
            });
  for (const char* path : {"/admin/withdraw", "/api/admin/withdraw"})
    Guarded(s, true, path, true,
            [this](const httplib::Request& req, httplib::Response& res, const Session&) {
              store_.Withdraw();
              Done(req, res, "/admin/runs", {{"published", nullptr}});
            });
  PublicRoutes(s);
}

void AdminRoutes::Login(const httplib::Request& req, httplib::Response& res) {
  const LoginResult login =
      gate_.Login(Field(req, "password"), Trimmed(Field(req, "name")).substr(0, 80),
                  ClientAddress(req, config_.behind_proxy), clock_());
  if (!login.ok) {
    if (login.retry_after) res.set_header("Retry-After", std::to_string(login.retry_after));
    const int status = login.retry_after ? 429 : 403;
    if (WantsJson(req)) return SendJson(res, status, {{"status", "refused"}, {"message", login.message}});
    return SendPage(res, status, LoginPage(login.message));
  }
  const bool tls = config_.public_url.rfind("https://", 0) == 0;
  res.set_header("Set-Cookie", std::string(kCookie) + "=" + login.session_id +
                                   "; Path=/; HttpOnly; SameSite=Strict; Max-Age=" +
                                   std::to_string(OrganiserGate::kSessionSeconds) +
                                   (tls ? "; Secure" : ""));
  if (WantsJson(req)) return SendJson(res, 200, {{"csrf", login.csrf}});
  res.set_redirect("/admin", 303);
}

void AdminRoutes::Logout(const httplib::Request& req, httplib::Response& res) {
  gate_.Logout(SessionId(req));
  res.set_header("Set-Cookie", std::string(kCookie) +
                                   "=; Path=/; HttpOnly; SameSite=Strict; Max-Age=0");
  Done(req, res, "/admin/login", {{"status", "logged-out"}});
}

void AdminRoutes::Check(const httplib::Request& req, httplib::Response& res, const Session& s) {
  std::optional<std::int64_t> run = runner_.Start(s.organiser);
  if (!run)
    return SendProblem(req, res, 409, "A check is running",
                       "a check is running; its results come first");
  if (!WantsJson(req)) return res.set_redirect("/admin/runs", 303);
  runner_.WaitIdle();
  std::optional<RunRecord> record = store_.Run(*run);
  SendJson(res, 200, {{"run", *run}, {"status", record ? record->status : "unknown"},
                      {"messages", record ? record->messages : ""}});
}

void AdminRoutes::Publish(const httplib::Request& req, httplib::Response& res) {
  std::optional<std::int64_t> run = NumberField(req, "run");
  if (!run || !store_.Publish(*run))
    return SendProblem(req, res, 404, "No such run", "no finished run of that number");
  if (!config_.mail_relay.empty()) {
    std::vector<OutgoingMail> mails;
    for (const std::string& call : store_.RunCalls(*run)) {
      const std::string email = store_.EmailOf(call);
      if (email.empty()) continue;
      mails.push_back({0, email, "Velmora Memorial Contest HF: the report of " + call,
                       "The results are published: " + config_.public_url + "/results\n"
                       "Your report, with the token you got with your log's receipt:\n  " +
                           config_.public_url + "/report/" + call + "?token=YOUR-TOKEN\n",
                       0});
    }
    submissions_.QueueMails(mails, clock_());
    if (mail_queued_) mail_queued_();
  }
  Done(req, res, "/admin/runs", {{"published", *run}});
}

std::optional<std::string> AdminRoutes::RulingProblem(const std::string& call, int line,
                                                      const std::string& verdict) {
  std::optional<check::Verdict> v = check::VerdictFromName(verdict);
  if (!v || *v == check::Verdict::kRejected)
    return "\"" + verdict + "\" is not a verdict a ruling can set";
  std::optional<Submission> log = store_.CountedLogOf(call);
  if (!log) return "no counted log of " + call;
  std::string_view text = TrimBlanks(LineOf(log->bytes, line));
  if (line < 1 || UpperAscii(text.substr(0, 4)) != "QSO:")
    return "line " + std::to_string(line) + " of " + call + "'s log (version " +
           std::to_string(log->version) + ") is not a QSO line";
  return std::nullopt;
}

void AdminRoutes::AddRuling(const httplib::Request& req, httplib::Response& res,
                            const Session& s) {
  RulingRecord r;
  r.call = UpperAscii(Trimmed(Field(req, "log")));
  std::optional<std::int64_t> line = NumberField(req, "line");
  r.line = line ? static_cast<int>(*line) : 0;
  r.verdict = Trimmed(Field(req, "verdict"));
  r.reason = Trimmed(Field(req, "reason")).substr(0, 500);
  r.organiser = s.organiser;
  r.made = clock_();
  std::optional<std::string> problem = r.reason.empty()
                                           ? std::optional<std::string>("a ruling needs a reason")
                                           : RulingProblem(r.call, r.line, r.verdict);
  if (problem) {
    if (WantsJson(req)) return SendJson(res, 422, {{"status", "refused"}, {"message", *problem}});
    return SendPage(res, 422, RulingsPage(store_.Rulings(), s.csrf, *problem));
  }
  const std::int64_t id = store_.AddRuling(r);
  Done(req, res, "/admin/rulings", {{"id", id}});
}

// A view that cannot be read is refused (400) with the form to mend it; a page
// past the last is not there (404), with a link to the last one.
void AdminRoutes::Submissions(const httplib::Request& req, httplib::Response& res,
                              const Session& s) {
  const std::string call = req.get_param_value("call");
  std::string problem;
  std::optional<SubmissionsView> view =
      ReadSubmissionsView(call, req.get_param_value("page"), problem);
  if (!view)
    return SendPage(res, 400, SubmissionsRefusedPage(Trimmed(call), problem,
                                                     SubmissionsLink(SubmissionsView{}),
                                                     "All submissions"));
  const SubmissionsSlice slice =
      SliceOfSubmissions(store_.Overview(), *view, config_.submissions_page_rows);
  if (view->page > slice.pages) {
    const std::string problem_page = "there is no page " + std::to_string(view->page) +
                                     ": the last is " + std::to_string(slice.pages);
    return SendPage(res, 404, SubmissionsRefusedPage(view->call, problem_page,
                                                     SubmissionsLink(view->call, slice.pages),
                                                     "The last page"));
  }
  SendPage(res, 200, SubmissionsPage(slice, s.csrf));
}

void AdminRoutes::Decide(const httplib::Request& req, httplib::Response& res,
                         const Session& s) {
  // A form brings the organiser back to the view it was sent from, read like
  // any input before anything changes.
  std::string problem;
  std::optional<SubmissionsView> view = SubmissionsView{};
  if (!WantsJson(req))
    view = ReadSubmissionsView(Field(req, "call"), Field(req, "page"), problem);
  if (!view) return SendProblem(req, res, 400, "Decision refused", problem);
  Decision d{Trimmed(Field(req, "receipt")), Trimmed(Field(req, "decision")),
             Trimmed(Field(req, "reason")).substr(0, 500), s.organiser, clock_()};
  if (d.decision != "admit" && d.decision != "set-aside")
    return SendProblem(req, res, 422, "Decision refused", "a decision is admit or set-aside");
  if (d.reason.empty())
    return SendProblem(req, res, 422, "Decision refused", "a decision needs a reason");
  if (!store_.Decide(d)) return SendProblem(req, res, 404, "No such receipt", "no such receipt");
  Done(req, res, SubmissionsLink(*view), {{"receipt", d.receipt}, {"decision", d.decision}});
}

void AdminRoutes::Zip(const httplib::Request& req, httplib::Response& res) {
  const std::int64_t run = std::stoll(req.matches[1]);
  std::vector<std::pair<std::string, std::string>> files;
  for (const char* column : {"results_csv", "results_html", "qsos_csv"}) {
    std::optional<std::string> bytes = store_.RunFile(run, column);
    if (!bytes) return SendProblem(req, res, 404, "No such run", "no finished run of that number");
    std::string name = column;
    name[name.rfind('_')] = '.';
    files.emplace_back(name, std::move(*bytes));
  }
  for (const std::string& receipt : store_.RunReceipts(run))
    if (std::optional<Submission> s = submissions_.Find(receipt, true))
      files.emplace_back("logs/" + check::ReportName(s->call) + ".log", std::move(s->bytes));
  for (const std::string& call : store_.RunCalls(run))
    if (std::optional<RunOutput::Report> r = store_.RunReport(run, call)) {
      files.emplace_back("reports/" + check::ReportName(call) + ".txt", std::move(r->txt));
      files.emplace_back("reports/" + check::ReportName(call) + ".json", std::move(r->json));
    }
  std::optional<std::string> zip = ZipArchive(files);
  if (!zip) return SendProblem(req, res, 500, "No archive", "the archive could not be made");
  res.set_header("Content-Disposition",
                 "attachment; filename=\"velmora-run-" + std::to_string(run) + ".zip\"");
  res.set_content(*zip, "application/zip");
}

void AdminRoutes::PublicRoutes(httplib::Server& s) {
  s.Get("/results", [this](const httplib::Request& req, httplib::Response& res) {
    std::optional<std::int64_t> run = store_.PublishedRun();
    std::optional<std::string> html = run ? store_.RunFile(*run, "results_html") : std::nullopt;
    if (!html) return SendProblem(req, res, 403, "No results yet", "the results are not published yet");
    res.headers.erase("Content-Security-Policy");  // else two policies, both enforced
    res.set_header("Content-Security-Policy", StyleHashPolicy(*html));
    SendPage(res, 200, WithoutReportLinks(*html));
  });
  s.Get("/api/results", [this](const httplib::Request& req, httplib::Response& res) {
    std::optional<std::int64_t> run = store_.PublishedRun();
    std::optional<std::string> csv = run ? store_.RunFile(*run, "results_csv") : std::nullopt;
    if (!csv) return SendProblem(req, res, 403, "No results yet", "the results are not published yet");
    SendJson(res, 200, CsvObjects(*csv));
  });
  const std::string call = "([A-Z0-9/]{3,20})";
  s.Get("/report/" + call, [this](const httplib::Request& req, httplib::Response& res) {
    Report(req, res, "page");
  });
  s.Get("/report/" + call + "\\.txt", [this](const httplib::Request& req, httplib::Response& res) {
    Report(req, res, "txt");
  });
  for (const std::string& path : {"/report/" + call + "\\.json", "/api/report/" + call})
    s.Get(path, [this](const httplib::Request& req, httplib::Response& res) {
      Report(req, res, "json");
    });
}

void AdminRoutes::Report(const httplib::Request& req, httplib::Response& res,
                         const std::string& form) {
  const std::string call = req.matches[1];
  const std::string token = req.get_param_value("token");
  std::optional<std::int64_t> run = store_.PublishedRun();
  if (!run) return SendProblem(req, res, 403, "No results yet", "the results are not published yet");
  if (!store_.TokenMatches(call, token))
    return SendProblem(req, res, 403, "Not your report",
                       "the token is not " + call + "'s; the report is the entrant's own");
  std::optional<RunOutput::Report> report = store_.RunReport(*run, call);
  if (!report) return SendProblem(req, res, 404, "No report", "the published run has no report of " + call);
  if (form == "json") return res.set_content(report->json, "application/json");
  if (form == "txt") return res.set_content(report->txt, "text/plain; charset=utf-8");
  SendPage(res, 200, ReportPage(call, report->txt, token));
}

}  // namespace velmora::robot
