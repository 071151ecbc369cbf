#include "robot/admin_pages.h"

#include <algorithm>
#include <vector>

#include "report/html_escape.h"
#include "robot/robot_config.h"
#include "robot/robot_pages.h"

namespace velmora::robot {

namespace {

std::string Esc(const std::string& text) { return HtmlEscape(text); }

std::string Hidden(const std::string& csrf) {
  return "<input type=\"hidden\" name=\"csrf\" value=\"" + Esc(csrf) + "\">";
}

// A form of one button that posts to `action`.
std::string Button(const std::string& action, const std::string& label, const std::string& csrf,
                   const std::string& fields = "") {
  return "<form class=\"inline\" method=\"post\" action=\"" + Esc(action) + "\">" + Hidden(csrf) +
         fields + "<button type=\"submit\">" + Esc(label) + "</button></form>";
}

std::string Console(const std::string& title, const std::string& body,
                    const std::string& head = "") {
  return RobotPage(title, body, true, head);
}

// 9982 as "9 982" (a space that does not break): the counts of a big contest
// read at a glance.
std::string Grouped(std::size_t number) {
  const std::string digits = std::to_string(number);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += "&nbsp;";
    out += digits[i];
  }
  return out;
}

// The form that picks the call: a plain GET, so the view is a link to keep.
std::string CallForm(const std::string& call) {
  return "<form method=\"get\" action=\"/admin/submissions\">\n<p><label for=\"call\">Call "
         "contains</label> <input type=\"text\" id=\"call\" name=\"call\" value=\"" +
         Esc(call) + "\" maxlength=\"" + std::to_string(kViewCallBytes) +
         "\" size=\"12\" autocomplete=\"off\"> <button type=\"submit\">Show</button></p>\n"
         "</form>\n";
}

std::string CountsLine(const SubmissionsSlice& s) {
  const std::string call = "&ldquo;" + Esc(s.view.call) + "&rdquo;";
  if (s.rows.empty())
    return s.view.call.empty() ? "<p>No submission yet.</p>\n"
                               : "<p>No submission matches the call " + call + ".</p>\n";
  return "<p>Rows " + Grouped(s.first) + "&ndash;" + Grouped(s.first + s.rows.size() - 1) +
         " of " + Grouped(s.matched) +
         (s.view.call.empty() ? std::string() : " whose call contains " + call) + ".</p>\n";
}

// First, Previous, where the page stands, Next, Last: the links that lead
// somewhere, each keeping the call.
std::string Pager(const SubmissionsSlice& s) {
  if (s.pages <= 1) return "";
  const int page = s.view.page;
  auto link = [&s](int to, const char* attributes, const char* text) {
    return "<a href=\"" + Esc(SubmissionsLink(s.view.call, to)) + "\"" + attributes + ">" +
           text + "</a>";
  };
  std::vector<std::string> parts;
  if (page > 1) parts = {link(1, "", "First"), link(page - 1, " rel=\"prev\"", "Previous")};
  parts.push_back("Page " + Grouped(static_cast<std::size_t>(page)) + " of " +
                  Grouped(static_cast<std::size_t>(s.pages)));
  if (page < s.pages) {
    parts.push_back(link(page + 1, " rel=\"next\"", "Next"));
    parts.push_back(link(s.pages, "", "Last"));
  }
  std::string nav = "<nav aria-label=\"Pages of the submissions\"><p>" + parts[0];
  for (std::size_t i = 1; i < parts.size(); ++i) nav += " &middot; " + parts[i];
  return nav + "</p></nav>\n";
}

// The view the decision forms bring the organiser back to.
std::string ViewFields(const SubmissionsView& view) {
  std::string fields;
  if (!view.call.empty())
    fields += "<input type=\"hidden\" name=\"call\" value=\"" + Esc(view.call) + "\">";
  if (view.page != 1)
    fields += "<input type=\"hidden\" name=\"page\" value=\"" + std::to_string(view.page) +
              "\">";
  return fields;
}

}  // namespace

std::string LoginPage(const std::string& notice) {
  std::string body;
  if (!notice.empty()) body += "<p class=\"rejected\" role=\"alert\">" + Esc(notice) + "</p>\n";
  body += "<form method=\"post\" action=\"/admin/login\">\n"
          "<p><label for=\"name\">Your name (kept with what you decide)</label><br>\n"
          "<input type=\"text\" id=\"name\" name=\"name\" autocomplete=\"username\"></p>\n"
          "<p><label for=\"password\">Organisers' password</label><br>\n"
          "<input type=\"password\" id=\"password\" name=\"password\" "
          "autocomplete=\"current-password\" required></p>\n"
          "<p><button type=\"submit\">Log in</button></p>\n</form>\n";
  return Console("Organisers' login", body);
}

std::string ConsolePage(const ConsoleState& s, const std::string& csrf) {
  std::string body = "<p>Logged in as " + Esc(s.organiser) + ". " + std::to_string(s.calls) +
                     " calls have sent " + std::to_string(s.versions) + " versions.</p>\n<ul>\n";
  body += "<li>Submissions: " +
          (s.closed_at ? "closed at " + UtcText(*s.closed_at) + "; later logs are late"
                       : std::string("open") + (s.close_time ? ", closing at " +
                                                                   UtcText(*s.close_time)
                                                             : std::string())) +
          "</li>\n";
  body += "<li>Published: " +
          (s.published_run ? "run " + std::to_string(*s.published_run) : std::string("nothing")) +
          "</li>\n</ul>\n<p>";
  if (!s.closed_at) body += Button("/admin/close", "Close the submissions", csrf) + " ";
  body += Button("/admin/check", "Run the check", csrf) + " " +
          Button("/admin/logout", "Log out", csrf) + "</p>\n";
  return Console("Console", body);
}

std::string SubmissionsPage(const SubmissionsSlice& slice, const std::string& csrf) {
  std::string body = CallForm(slice.view.call) + CountsLine(slice) + Pager(slice);
  if (slice.rows.empty()) return Console("Submissions", body);
  body +=
      "<table class=\"wide\">\n<thead><tr><th scope=\"col\">Call</th><th scope=\"col\">Version"
      "</th><th scope=\"col\">Received (UTC)</th><th scope=\"col\">State</th>"
      "<th scope=\"col\">QSOs</th><th scope=\"col\">Score</th><th scope=\"col\">Warnings</th>"
      "<th scope=\"col\">Log</th><th scope=\"col\">Decision</th></tr></thead>\n<tbody>\n";
  // The row parts that are the same on every row are made once, and each row
  // is appended in place.
  const std::string hidden = Hidden(csrf) + ViewFields(slice.view);
  body.reserve(body.size() + slice.rows.size() * (700 + hidden.size()));
  for (const VersionState& v : slice.rows) {
    const Submission& s = v.submission;
    const std::size_t warnings = s.warnings_json.size() > 2
                                     ? static_cast<std::size_t>(std::count(
                                           s.warnings_json.begin(), s.warnings_json.end(), '{'))
                                     : 0;
    const std::string receipt = Esc(s.receipt);
    body.append("<tr><td>").append(Esc(s.call)).append("</td><td>")
        .append(std::to_string(s.version)).append("</td><td>").append(UtcText(s.received))
        .append(s.late ? " late" : "").append("</td><td>").append(Esc(v.state));
    if (!v.reason.empty()) body.append(": ").append(Esc(v.reason));
    body.append("</td><td>").append(std::to_string(s.qsos)).append("</td><td>")
        .append(std::to_string(s.score)).append("</td><td>").append(std::to_string(warnings))
        .append("</td><td><a href=\"/api/receipt/").append(receipt)
        .append("/log\">bytes</a></td><td><form class=\"inline\" method=\"post\" "
                "action=\"/admin/decision\">")
        .append(hidden)
        .append("<input type=\"hidden\" name=\"receipt\" value=\"").append(receipt)
        .append("\"><label for=\"reason-").append(s.receipt)
        .append("\">Reason</label> <input type=\"text\" id=\"reason-").append(s.receipt)
        .append("\" name=\"reason\" required> ")
        .append(s.late ? "<button name=\"decision\" value=\"admit\">Admit</button> " : "")
        .append("<button name=\"decision\" value=\"set-aside\">Set aside</button>"
                "</form></td></tr>\n");
  }
  body += "</tbody>\n</table>\n";
  return Console("Submissions", body);
}

std::string SubmissionsRefusedPage(const std::string& call, const std::string& problem,
                                   const std::string& link, const std::string& link_text) {
  return Console("Submissions", CallForm(call) + "<p class=\"rejected\" role=\"alert\">" +
                                    Esc(problem) + ". <a href=\"" + Esc(link) + "\">" +
                                    Esc(link_text) + "</a></p>\n");
}

std::string MissingPage(const std::vector<MissingLog>& missing, int threshold) {
  std::string body = "<p>Calls that at least " + std::to_string(threshold) +
                     " received logs hold but that sent no log: " +
                     std::to_string(missing.size()) + ".</p>\n<table>\n<thead><tr>"
                     "<th scope=\"col\">Call</th><th scope=\"col\">Logs that hold it</th></tr>"
                     "</thead>\n<tbody>\n";
  for (const MissingLog& m : missing)
    body += "<tr><td>" + Esc(m.call) + "</td><td>" + std::to_string(m.logs) + "</td></tr>\n";
  return Console("Missing logs", body + "</tbody>\n</table>\n");
}

std::string RulingsPage(const std::vector<RulingRecord>& rulings, const std::string& csrf,
                        const std::string& notice) {
  std::string body;
  if (!notice.empty()) body += "<p class=\"rejected\" role=\"alert\">" + Esc(notice) + "</p>\n";
  body += "<form method=\"post\" action=\"/admin/rulings\">" + Hidden(csrf) +
          "\n<p><label for=\"log\">Log (call)</label> <input type=\"text\" id=\"log\" name=\"log\" "
          "required> <label for=\"line\">Line</label> <input type=\"number\" id=\"line\" "
          "name=\"line\" min=\"1\" required> <label for=\"verdict\">Verdict</label> "
          "<select id=\"verdict\" name=\"verdict\"><option>ok</option><option>nil</option>"
          "<option>busted-call</option><option>bad-exchange</option><option>unique</option>"
          "<option>unverified</option><option>dupe</option><option>outside</option>"
          "<option>wrong-band</option></select> <label for=\"reason\">Reason</label> "
          "<input type=\"text\" id=\"reason\" name=\"reason\" required> "
          "<button type=\"submit\">Add the ruling</button></p>\n</form>\n"
          "<table class=\"wide\">\n<thead><tr><th scope=\"col\">Log</th><th scope=\"col\">Line"
          "</th><th scope=\"col\">Verdict</th><th scope=\"col\">Reason</th><th scope=\"col\">By"
          "</th><th scope=\"col\">Made (UTC)</th><th scope=\"col\">Withdrawn</th></tr></thead>\n"
          "<tbody>\n";
  for (const RulingRecord& r : rulings)
    body += "<tr><td>" + Esc(r.call) + "</td><td>" + std::to_string(r.line) + "</td><td>" +
            Esc(r.verdict) + "</td><td>" + Esc(r.reason) + "</td><td>" + Esc(r.organiser) +
            "</td><td>" + UtcText(r.made) + "</td><td>" +
            (r.withdrawn ? UtcText(*r.withdrawn) + " by " + Esc(r.withdrawn_by)
                         : Button("/admin/rulings/" + std::to_string(r.id) + "/withdraw",
                                  "Withdraw", csrf)) +
            "</td></tr>\n";
  return Console("Rulings", body + "</tbody>\n</table>\n");
}

std::string RunsPage(const std::vector<RunRecord>& runs, std::optional<std::int64_t> published,
                     const std::string& csrf) {
  bool running = false;
  std::string body = "<p>" + Button("/admin/check", "Run the check", csrf) +
                     (published ? " " + Button("/admin/withdraw", "Withdraw the results", csrf)
                                : std::string()) +
                     "</p>\n<table class=\"wide\">\n<thead><tr><th scope=\"col\">Run</th>"
                     "<th scope=\"col\">Started (UTC)</th><th scope=\"col\">State</th>"
                     "<th scope=\"col\">Logs</th><th scope=\"col\">Files</th>"
                     "<th scope=\"col\">Publish</th></tr></thead>\n<tbody>\n";
  for (const RunRecord& r : runs) {
    running = running || r.status == "running";
    const std::string id = std::to_string(r.id);
    const bool is_published = published && *published == r.id;
    body += "<tr><td>" + id + "</td><td>" + UtcText(r.started) + "</td><td>" + Esc(r.status) +
            (r.status == "running" ? ": " + Esc(r.progress) : std::string()) +
            (r.status == "failed" ? ": " + Esc(r.messages) : std::string()) + "</td><td>" +
            std::to_string(r.logs) + "</td><td>" +
            (r.status == "done" ? "<a href=\"/admin/runs/" + id + "/results.html\">results</a> "
                                  "<a href=\"/admin/runs/" + id + "/zip\">zip</a>"
                                : std::string("-")) +
            "</td><td>" +
            (is_published ? std::string("published")
             : r.status == "done"
                 ? Button("/admin/publish", "Publish", csrf,
                          "<input type=\"hidden\" name=\"run\" value=\"" + id + "\">")
                 : std::string("-")) +
            "</td></tr>\n";
  }
  const std::string refresh = running ? "<meta http-equiv=\"refresh\" content=\"2\">\n" : "";
  return Console("Check runs", body + "</tbody>\n</table>\n", refresh);
}

std::string ReportPage(const std::string& call, const std::string& report_text,
                       const std::string& token) {
  const std::string base = "/report/" + Esc(call);
  const std::string query = "?token=" + Esc(token);
  return RobotPage("Report of " + call,
                   "<p><a href=\"" + base + ".txt" + query + "\">as text</a> &middot; <a href=\"" +
                       base + ".json" + query + "\">as JSON</a></p>\n<pre class=\"report\">" +
                       Esc(report_text) + "</pre>\n",
                   false);
}

}  // namespace velmora::robot
