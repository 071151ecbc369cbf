#include "robot/robot_pages.h"

#include "report/html_escape.h"

namespace velmora::robot {

namespace {

std::string Esc(const std::string& text) { return HtmlEscape(text); }

std::string Page(const std::string& title, const std::string& body) {
  return RobotPage(title, body, false);
}

std::string Form(bool confirm_shown, const std::string& email = "",
                 const std::string& token = "") {
  std::string form =
      "<form method=\"post\" action=\"/submit\" enctype=\"multipart/form-data\">\n"
      "<p><label for=\"log\">Cabrillo log file</label><br>\n"
      "<input type=\"file\" id=\"log\" name=\"log\" accept=\".log,.cbr,.txt\"></p>\n"
      "<p><label for=\"text\">or the log pasted as text</label><br>\n"
      "<textarea id=\"text\" name=\"text\" rows=\"10\" cols=\"80\"></textarea></p>\n"
      "<p><label for=\"email\">E-mail address for the receipt (optional)</label><br>\n"
      "<input type=\"email\" id=\"email\" name=\"email\" autocomplete=\"email\" size=\"40\" "
      "value=\"" + Esc(email) + "\"></p>\n"
      "<p><label for=\"token\">The call's token, to send a new version of a log sent before"
      "</label><br>\n<input type=\"text\" id=\"token\" name=\"token\" autocomplete=\"off\" "
      "size=\"40\" value=\"" + Esc(token) + "\"></p>\n";
  if (confirm_shown)
    form += "<p><input type=\"checkbox\" id=\"confirm\" name=\"confirm\" value=\"1\">\n"
            "<label for=\"confirm\">Yes, this log replaces the longer one sent before</label>"
            "</p>\n";
  return form + "<p><button type=\"submit\">Send the log</button></p>\n</form>\n";
}

std::string FindingList(const std::string& id, const std::string& heading,
                        const std::vector<Finding>& findings) {
  if (findings.empty()) return "";
  std::string html = "<section aria-labelledby=\"" + id + "\">\n<h2 id=\"" + id + "\">" +
                     heading + " (" + std::to_string(findings.size()) + ")</h2>\n<ul class=\"" +
                     id + "\">\n";
  for (const Finding& f : findings)
    html += "<li>" + (f.line ? "Line " + std::to_string(f.line) : std::string("The file")) +
            ": " + Esc(f.message) + "</li>\n";
  return html + "</ul>\n</section>\n";
}

std::string Figures(const Judgement& j) {
  std::string html =
      "<table class=\"figures\">\n<caption>The score by the contest's rules</caption>\n"
      "<thead><tr><th scope=\"col\">Band</th><th scope=\"col\">QSOs</th>"
      "<th scope=\"col\">Points</th><th scope=\"col\">Multipliers</th></tr></thead>\n<tbody>\n";
  for (const BandFigures& b : j.bands)
    html += "<tr><th scope=\"row\">" + Esc(b.band) + "</th><td class=\"n\">" +
            std::to_string(b.qsos) + "</td><td class=\"n\">" + std::to_string(b.points) +
            "</td><td class=\"n\">" + std::to_string(b.mults) + "</td></tr>\n";
  html += "</tbody>\n<tfoot><tr><th scope=\"row\">All</th><td class=\"n\">" +
          std::to_string(j.qsos) + "</td><td class=\"n\">" + std::to_string(j.points) +
          "</td><td class=\"n\">" + std::to_string(j.mults) + "</td></tr></tfoot>\n";
  return html + "</table>\n";
}

std::string ReceiptBody(const Submission& s, const RobotConfig& config) {
  const std::string link = "/api/receipt/" + s.receipt + "/log";
  return "<dl class=\"receipt\">\n"
         "<dt>Receipt</dt><dd id=\"receipt-id\">" + Esc(s.receipt) + "</dd>\n"
         "<dt>Received</dt><dd>" + UtcText(s.received) +
         (s.late ? " <strong class=\"late\">late: after the close of submissions</strong>" : "") +
         "</dd>\n<dt>Call</dt><dd id=\"receipt-call\">" + Esc(s.call) + "</dd>\n"
         "<dt>Version</dt><dd>" + std::to_string(s.version) + "</dd>\n"
         "<dt>Category</dt><dd>" + Esc(s.category) + "</dd>\n"
         "<dt>QSOs</dt><dd id=\"receipt-qsos\">" + std::to_string(s.qsos) + "</dd>\n"
         "<dt>Score</dt><dd id=\"receipt-score\">" + std::to_string(s.points) + " points &times; " +
         std::to_string(s.mults) + " multipliers = " + std::to_string(s.score) + "</dd>\n" +
         (s.claimed ? "<dt>Claimed score</dt><dd>" + std::to_string(*s.claimed) + "</dd>\n" : "") +
         "<dt>SHA-256 of the stored log</dt><dd><code>" + s.sha256 + "</code></dd>\n"
         "</dl>\n<p><a href=\"" + link + "\">The log exactly as stored</a> &middot; "
         "<a href=\"/receipt/" + Esc(s.receipt) + "\">this receipt's own page</a>" +
         (config.public_url.empty()
              ? std::string()
              : " (" + Esc(config.public_url) + "/receipt/" + Esc(s.receipt) + ")") +
         "</p>\n";
}

}  // namespace

std::string RobotPage(const std::string& title, const std::string& body, bool organisers,
                      const std::string& head) {
  const std::string nav =
      organisers ? "<nav aria-label=\"Console\"><a href=\"/admin\">Console</a> "
                   "<a href=\"/admin/submissions\">Submissions</a> <a href=\"/admin/missing\">"
                   "Missing logs</a> <a href=\"/admin/rulings\">Rulings</a> "
                   "<a href=\"/admin/runs\">Check runs</a></nav>"
                 : "<nav aria-label=\"Robot\"><a href=\"/\">Send a log</a> <a href=\"/logs\">"
                   "Logs received</a> <a href=\"/results\">Results</a></nav>";
  return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
         "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n" + head +
         "<title>" + Esc(title) + " - Velmora Memorial Contest HF</title>\n"
         "<link rel=\"stylesheet\" href=\"/style.css\">\n</head>\n<body>\n"
         "<header><p class=\"contest\">Velmora Memorial Contest HF: log robot" +
         (organisers ? std::string(" &middot; organisers") : std::string()) + "</p>\n" + nav +
         "</header>\n<main>\n<h1>" + Esc(title) + "</h1>\n" + body +
         "</main>\n</body>\n</html>\n";
}

std::string UploadPage(const RobotConfig& config, const std::string& notice) {
  std::string body;
  if (!notice.empty()) body += "<p class=\"notice\" role=\"alert\">" + Esc(notice) + "</p>\n";
  body += "<p>Send your Cabrillo log. The answer lists every problem at once, each with its "
          "line, and the score by the contest's rules.";
  if (config.close_unix)
    body += " Logs received after " + UtcText(*config.close_unix) + " are marked late.";
  body += "</p>\n";
  return Page("Send a log", body + Form(false));
}

std::string UploadAnswerPage(const UploadAnswer& a, const RobotConfig& config) {
  const Judgement& j = a.judgement;
  switch (a.status) {
    case UploadStatus::kAccepted: {
      std::string body = "<p class=\"accepted\" role=\"status\">The log of " +
                         Esc(a.receipt.call) + " is stored.</p>\n" + ReceiptBody(a.receipt, config);
      if (!a.token.empty())
        body += "<section aria-labelledby=\"token-heading\"><h2 id=\"token-heading\">The call's "
                "token</h2>\n<p>Keep it: a new version of this call's log needs it. It is shown "
                "only now.</p>\n<p><code id=\"token\">" + Esc(a.token) + "</code></p></section>\n";
      return Page("Log received", body + Figures(j) +
                                      FindingList("warnings", "Warnings", j.warnings));
    }
    case UploadStatus::kRejected:
      return Page("Log not accepted",
                  "<p class=\"rejected\" role=\"alert\">Nothing was stored. Mend what is listed "
                  "and send the log again.</p>\n" +
                      FindingList("errors", "Errors", j.errors) +
                      FindingList("warnings", "Warnings", j.warnings) +
                      Form(false, a.email, a.token_given));
    case UploadStatus::kConfirmNeeded:
      return Page("Confirm the replacement",
                  "<p class=\"notice\" role=\"alert\">" + Esc(a.message) + "</p>\n" +
                      Form(true, a.email, a.token_given));
    default:
      return Page("Log not stored",
                  "<p class=\"rejected\" role=\"alert\">" + Esc(a.message) + "</p>\n" +
                      Form(false, a.email, a.token_given));
  }
}

std::string ReceiptPage(const Submission& s, const RobotConfig& config) {
  return Page("Receipt", ReceiptBody(s, config));
}

std::string LogsPage(const std::vector<ListedLog>& logs) {
  std::string body = "<p>" + std::to_string(logs.size()) +
                     (logs.size() == 1 ? " log" : " logs") + " received.</p>\n"
                     "<table class=\"logs\">\n<caption>The newest version of each call's log"
                     "</caption>\n<thead><tr><th scope=\"col\">Call</th>"
                     "<th scope=\"col\">Category</th><th scope=\"col\">Received (UTC)</th>"
                     "<th scope=\"col\">QSOs</th><th scope=\"col\">Versions</th></tr></thead>\n"
                     "<tbody>\n";
  for (const ListedLog& l : logs)
    body += "<tr><td>" + Esc(l.call) + "</td><td>" + Esc(l.category) + "</td><td>" +
            UtcText(l.received) + (l.late ? " <strong class=\"late\">late</strong>" : "") +
            "</td><td class=\"n\">" + std::to_string(l.qsos) + "</td><td class=\"n\">" +
            std::to_string(l.versions) + "</td></tr>\n";
  return Page("Logs received", body + "</tbody>\n</table>\n");
}

std::string MessagePage(const std::string& title, const std::string& message) {
  return Page(title, "<p role=\"alert\">" + Esc(message) + "</p>\n");
}

const char kStyleSheet[] =
    "body{font-family:sans-serif;margin:0 auto;max-width:60em;padding:0 1em;color:#111}"
    "header{border-bottom:1px solid #ccc}nav a{margin-right:1em}"
    "table{border-collapse:collapse}th,td{border:1px solid #bbb;padding:.2em .6em;"
    "text-align:left}td.n,th.n{text-align:right}"
    "textarea,input{max-width:100%;box-sizing:border-box}form.inline{display:inline}"
    "ul.errors li{color:#a00000}ul.warnings li{color:#6b4a00}.late{color:#a00000}"
    ".accepted{color:#006000;font-weight:bold}.rejected{color:#a00000;font-weight:bold}"
    "dt{font-weight:bold}code{word-break:break-all}";

}  // namespace velmora::robot
