#include "check/results_output.h"

#include <algorithm>

#include "engine/text_format.h"
#include "report/html_escape.h"

namespace velmora::check {

const char kQsosCsvHeader[] = "log,line,verdict,call,correct_call,partner_line,offset_minutes\n";

namespace {

// A CSV field: quoted when it holds a comma, a quote or a line break.
std::string Field(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

// Errors per thousand counted QSOs (nil, busted call, bad exchange).
int ErrorPerMille(const Standing& s) {
  if (s.counted <= 0) return 0;
  return static_cast<int>(static_cast<long long>(s.nil + s.busted + s.bad_exchange) * 1000 /
                          s.counted);
}

std::string ErrorChart(const Contest& contest, const std::vector<Standing>& standings) {
  std::vector<std::pair<int, std::size_t>> rates;
  for (const Standing& s : standings) rates.emplace_back(ErrorPerMille(s), s.log);
  std::sort(rates.begin(), rates.end(), [&](const auto& a, const auto& b) {
    return a.first != b.first ? a.first > b.first
                              : contest.logs[a.second].call < contest.logs[b.second].call;
  });
  const int top = std::max(10, rates.empty() ? 10 : rates.front().first);
  const int width = 800, height = 200, n = static_cast<int>(rates.size());
  std::string svg = StrFormat(
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" role=\"img\" "
      "aria-label=\"Error rate of every entrant\">\n"
      "<rect x=\"0\" y=\"0\" width=\"%d\" height=\"%d\" fill=\"#fff\" stroke=\"#999\"/>\n",
      width + 60, height + 30, width + 60, height + 30);
  svg += StrFormat("<text x=\"4\" y=\"12\" font-size=\"11\">%d.%d %%</text>\n", top / 10, top % 10);
  svg += StrFormat("<text x=\"4\" y=\"%d\" font-size=\"11\">0 %%</text>\n", height + 10);
  for (int i = 0; i < n; ++i) {
    const int x0 = 50 + static_cast<int>(static_cast<long long>(i) * width / n);
    const int x1 = 50 + static_cast<int>(static_cast<long long>(i + 1) * width / n);
    const int h = static_cast<int>(static_cast<long long>(rates[i].first) * height / top);
    const Entrant& e = contest.logs[rates[i].second];
    svg += StrFormat("<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"#b03a2e\">"
                     "<title>%s: %d.%d %%</title></rect>\n",
                     x0, height + 10 - h, std::max(1, x1 - x0), h, HtmlEscape(e.call).c_str(),
                     rates[i].first / 10, rates[i].first % 10);
  }
  return svg + "</svg>\n";
}

}  // namespace

std::string QsosCsvRows(const Contest& contest, std::size_t log) {
  const Entrant& e = contest.logs[log];
  std::string rows;
  rows.reserve(e.qsos.size() * 48);
  const std::string own = Field(e.call), offset = std::to_string(e.offset_minutes);
  for (const CheckQso& q : e.qsos) {
    rows += own;
    rows += ',';
    rows += std::to_string(q.line);
    rows += ',';
    rows += VerdictName(q.verdict);
    rows += ',';
    if (q.call != kNoId) rows += Field(contest.calls.Text(q.call));
    rows += ',';
    if (q.verdict == Verdict::kBustedCall && q.correct_call != kNoId)
      rows += Field(contest.calls.Text(q.correct_call));
    rows += ',';
    if (q.partner_log >= 0)
      rows += std::to_string(contest.logs[q.partner_log].qsos[q.partner_qso].line);
    rows += ',';
    rows += offset;
    rows += '\n';
  }
  return rows;
}

std::string ResultsCsv(const Contest& contest, const std::vector<Standing>& standings) {
  std::string csv =
      "rank,call,category,claimed_qsos,claimed_points,claimed_mults,claimed_score,"
      "checked_qsos,checked_points,checked_mults,checked_score,nil,busted_call,bad_exchange,"
      "unique\n";
  for (const Standing& s : standings) {
    const Entrant& e = contest.logs[s.log];
    csv += StrFormat("%d,%s,%s,%d,%lld,%d,%lld,%d,%lld,%d,%lld,%d,%d,%d,%d\n", s.rank,
                     Field(e.call).c_str(), Field(e.category).c_str(), e.claimed.qsos,
                     e.claimed.points, e.claimed.mults, e.claimed.score, e.checked.qsos,
                     e.checked.points, e.checked.mults, e.checked.score, s.nil, s.busted,
                     s.bad_exchange, s.unique);
  }
  return csv;
}

std::string ResultsHtml(const Contest& contest, const std::vector<Standing>& standings) {
  std::string html =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<title>Velmora Memorial Contest HF: checked results</title>\n<style>\n"
      "body{font-family:sans-serif;margin:1.5em}table{border-collapse:collapse;margin-bottom:2em}"
      "th,td{border:1px solid #bbb;padding:2px 8px;text-align:right}"
      "td.call,td.cat{text-align:left}th{background:#eee}\n</style>\n</head>\n<body>\n"
      "<h1>Velmora Memorial Contest HF: checked results</h1>\n";
  html += StrFormat("<p>%zu logs checked.</p>\n", contest.logs.size());
  html += "<h2>Error rate of every entrant</h2>\n<p>NIL, busted calls and bad exchanges per "
          "counted QSO, highest first.</p>\n";
  html += ErrorChart(contest, standings);
  std::string category;
  for (std::size_t i = 0; i < standings.size(); ++i) {
    const Standing& s = standings[i];
    const Entrant& e = contest.logs[s.log];
    if (i == 0 || e.category != category) {
      if (i > 0) html += "</table>\n";
      category = e.category;
      html += "<h2>" + HtmlEscape(category) + "</h2>\n<table>\n<tr><th>rank</th><th>call</th>"
              "<th>claimed QSOs</th><th>claimed score</th><th>checked QSOs</th>"
              "<th>checked points</th><th>checked mults</th><th>checked score</th>"
              "<th>reduction</th><th>NIL</th><th>busted</th><th>bad exchange</th>"
              "<th>unique</th></tr>\n";
    }
    html += StrFormat(
        "<tr><td>%d</td><td class=\"call\"><a href=\"reports/%s.txt\">%s</a></td><td>%d</td>"
        "<td>%lld</td><td>%d</td><td>%lld</td><td>%d</td><td>%lld</td><td>%s %%</td><td>%d</td>"
        "<td>%d</td><td>%d</td><td>%d</td></tr>\n",
        s.rank, HtmlEscape(ReportName(e.call)).c_str(), HtmlEscape(e.call).c_str(),
        e.claimed.qsos, e.claimed.score, e.checked.qsos, e.checked.points, e.checked.mults,
        e.checked.score, ReductionPercent(e.claimed.score, e.checked.score).c_str(), s.nil,
        s.busted, s.bad_exchange, s.unique);
  }
  if (!standings.empty()) html += "</table>\n";
  return html + "</body>\n</html>\n";
}

}  // namespace velmora::check
