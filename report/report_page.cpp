#include "report/report_page.h"

#include <string_view>

#include "engine/bad_qso_line.h"
#include "engine/text_format.h"
#include "report/html_escape.h"
#include "report/report_charts.h"

namespace velmora {

namespace {

// The page names no character set: texts are the log's bytes, untranscoded.
const char kStyle[] =
    "</title><style>\r\n"
    "body{font:13px/1.4 sans-serif;max-width:186mm;margin:0 auto;padding:8px;color:#000}\r\n"
    "h1{font-size:20px}h2{font-size:16px;border-bottom:1px solid #888;margin-top:20px}\r\n"
    "table{border-collapse:collapse;margin:6px 0}td,th{border:1px solid #aaa;padding:1px 6px}\r\n"
    "td{text-align:right}td.t,th.t{text-align:left}thead th{background:#eee}\r\n"
    "svg{width:100%;height:auto}.grid td{text-align:center;min-width:30px}\r\n"
    "@page{size:A4;margin:12mm}@media print{body{max-width:none}"
    "section{break-inside:avoid-page}thead{display:table-header-group}}\r\n"
    "</style></head><body>\r\n";

const char* const kBandNames[kBandCount] = {"160m", "80m", "40m", "20m", "15m", "10m"};

std::string Time(const COleDateTime& t) {
  return t.GetStatus() == COleDateTime::kValid ? t.Format("%Y-%m-%d %H:%M") : "(no time)";
}
std::string Time(Seconds s) { return Time(FromSeconds(s)); }

std::string Duration(Seconds s) {
  return StrFormat("%lldh %02lldm", static_cast<long long>(s / 3600),
                   static_cast<long long>(s / 60 % 60));
}

std::string Rate(const std::optional<double>& rate) {
  return rate ? StrFormat("%.0f QSOs/hour", *rate) : std::string("-");
}

std::string Cell(int value) { return StrFormat("<td>%d</td>", value); }
std::string TextCell(std::string_view text) { return "<td class=t>" + HtmlEscape(text) + "</td>"; }

std::string Head(std::initializer_list<const char*> names) {
  std::string out = "<thead><tr>";
  for (const char* n : names) out += StrFormat("<th>%s</th>", n);
  return out + "</tr></thead>";
}

std::string Summary(const ContestReport& r) {
  const ScoreSheet& s = r.sheet;
  std::string out = "<section id=summary><h2>Summary</h2><table id=totals>";
  out += StrFormat("<tr><th class=t>Claimed score</th><td id=score>%d</td></tr>"
                   "<tr><th class=t>QSOs</th><td>%d</td></tr>"
                   "<tr><th class=t>Points</th><td>%d</td></tr>"
                   "<tr><th class=t>Multipliers</th><td>%d</td></tr>"
                   "<tr><th class=t>Dupes</th><td>%d</td></tr>"
                   "<tr><th class=t>Rejected</th><td>%d</td></tr></table>",
                   s.score, s.total.qsos, s.total.points, s.total.mults, s.total.dupes,
                   r.rejected);
  out += "<table id=bands>" + Head({"Band", "QSOs", "Points", "Multipliers", "Dupes"});
  for (const BandScore& b : s.rows)
    out += "<tr>" + TextCell(b.band) + Cell(b.qsos) + Cell(b.points) + Cell(b.mults) +
           Cell(b.dupes) + "</tr>";
  out += "<tr><th class=t>Total</th>" + Cell(s.total.qsos) + Cell(s.total.points) +
         Cell(s.total.mults) + Cell(s.total.dupes) + "</tr></table>";
  out += "<table id=continents>" + Head({"Continent", "QSOs", "Points"});
  for (const ContinentRow& c : r.continents)
    out += "<tr>" + TextCell(c.continent.empty() ? "(none)" : c.continent) + Cell(c.qsos) +
           Cell(c.points) + "</tr>";
  out += "</table><table id=distance>" + Head({"Worked", "QSOs"});
  out += "<tr><td class=t>own country (1 point)</td>" + Cell(r.own_country) + "</tr>";
  out += "<tr><td class=t>own continent (3 points)</td>" + Cell(r.own_continent) + "</tr>";
  out += "<tr><td class=t>other continents (5 points)</td>" + Cell(r.other) + "</tr></table>";
  return out + "</section>\r\n";
}

std::string Hours(const ContestReport& r) {
  std::string out = "<section id=hours><h2>QSOs per hour</h2>" + HourChartSvg(r);
  if (r.outside_period)
    out += StrFormat("<p>%d counted QSOs lie outside the hours shown or have no valid time.</p>",
                     r.outside_period);
  out += "<table id=hour-table><thead><tr><th>Hour</th>";
  for (const char* b : kBandNames) out += StrFormat("<th>%s</th>", b);
  out += "<th>QSOs</th><th>Points</th><th>New mults</th><th>Score</th></tr></thead>";
  for (const HourRow& h : r.hours) {
    out += "<tr>" + TextCell(FromSeconds(h.start).Format("%Y-%m-%d %H:00"));
    for (int q : h.qsos) out += Cell(q);
    out += Cell(h.Qsos()) + Cell(h.points) + Cell(h.new_mults) + Cell(h.score_after) + "</tr>";
  }
  return out + "</table></section>\r\n";
}

std::string Best(const BestWindow& w) {
  if (!w.start) return "<td class=t>-</td>";
  return StrFormat("<td class=t>%d QSOs from %s (%d QSOs/hour)</td>", w.qsos,
                   Time(*w.start).c_str(), w.qsos * 60 / w.minutes);
}

std::string Rates(const ContestReport& r) {
  const ScoreSheet& s = r.sheet;
  std::string out = "<section id=rates><h2>Rates</h2><table>";
  out += "<tr><th class=t>Best 10 minutes</th>" + Best(r.best10) + "</tr>";
  out += "<tr><th class=t>Best 60 minutes</th>" + Best(r.best60) + "</tr>";
  out += "<tr><th class=t>Last 10 QSOs</th><td class=t>" + Rate(r.last10_rate) + "</td></tr>";
  out += "<tr><th class=t>Last 100 QSOs</th><td class=t>" + Rate(r.last100_rate) + "</td></tr>";
  out += StrFormat("<tr><th class=t>At the last QSO, its band: last hour (10 minutes x 6)</th>"
                   "<td class=t>%d (%d) QSOs/hour, %d (%d) points/hour</td></tr>",
                   s.hour_qsos, s.ten_qsos * 6, s.hour_points, s.ten_points * 6);
  return out + "</table></section>\r\n";
}

std::string Operating(const ContestReport& r) {
  std::string out = "<section id=operating><h2>Operating time</h2><table>";
  out += "<tr><th class=t>Period</th><td class=t>" + Time(r.period_start) + " to " +
         Time(r.period_end) + "</td></tr>";
  out += "<tr><th class=t>On</th><td class=t>" + Duration(r.on_seconds) + "</td></tr>";
  out += "<tr><th class=t>Off</th><td class=t>" + Duration(r.off_seconds) + "</td></tr></table>";
  out += StrFormat("<p>Breaks of %d minutes or more:</p>", r.break_minutes);
  out += "<table id=breaks>" + Head({"From", "To", "Length"});
  std::string offtime;
  for (const Break& b : r.breaks) {
    out += "<tr>" + TextCell(Time(b.start)) + TextCell(Time(b.end)) +
           TextCell(Duration(b.end - b.start)) + "</tr>";
    offtime += "OFFTIME: " + FromSeconds(b.start).Format("%Y-%m-%d %H%M") + " " +
               FromSeconds(b.end).Format("%Y-%m-%d %H%M") + "\r\n";
  }
  out += "</table>";
  if (!offtime.empty()) out += "<p>As Cabrillo lines:</p><pre>" + offtime + "</pre>";
  return out + "</section>\r\n";
}

std::string ScoreOverTime(const ContestReport& r) {
  return "<section id=score-chart><h2>Score over time</h2>" + ScoreChartSvg(r) +
         "</section>\r\n";
}

std::string Mults(const ContestReport& r) {
  std::string out = StrFormat("<section id=mults><h2>Multipliers (%d)</h2>"
                              "<table class=grid id=mult-grid><thead><tr><th class=t>Entity</th>",
                              r.sheet.total.mults);
  for (const char* b : kBandNames) out += StrFormat("<th>%s</th>", b);
  out += "</tr></thead>";
  for (const MultRow& m : r.mults) {
    out += "<tr><td class=t>" + HtmlEscape(m.prefix);
    if (!m.name.empty()) out += " " + HtmlEscape(m.name);
    out += "</td>";
    for (int b = 0; b < kBandCount; ++b) {
      const auto i = static_cast<std::size_t>(b);
      if (!m.worked[i]) { out += "<td></td>"; continue; }
      const std::string first = m.first[i] ? Time(*m.first[i]) : "(no time)";
      out += StrFormat("<td title='%s first %s'>&#10003;</td>", kBandNames[b], first.c_str());
    }
    out += "</tr>";
  }
  return out + "</table><p>New multipliers per hour: see the hour table.</p></section>\r\n";
}

// "   WRONG BAND !!!" reads "WRONG BAND" here.
std::string Reason(Verdict v) {
  std::string_view text = VerdictText(v);
  text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
  return std::string(text.substr(0, text.find(" !!!")));
}

std::string Problems(const ContestReport& r) {
  std::string out = StrFormat("<section id=problems><h2>Problem QSOs</h2><h3>Dupes (%zu)</h3>",
                              r.dupes.size());
  out += "<table id=dupes>" + Head({"Time", "Call", "Band", "First QSO"});
  for (const DupeRow& d : r.dupes)
    out += "<tr>" + TextCell(Time(d.time)) + TextCell(d.call) + TextCell(d.band) +
           TextCell(d.first ? Time(*d.first) : "-") + "</tr>";
  out += StrFormat("</table><h3>Rejected (%zu)</h3>", r.rejected_qsos.size());
  out += "<table id=rejected>" + Head({"Time", "Call", "Band", "Mode", "Reason"});
  for (const RejectedQso& q : r.rejected_qsos)
    out += "<tr>" + TextCell(Time(q.qso.time)) + TextCell(q.qso.call) + TextCell(q.qso.band) +
           TextCell(q.qso.mode) + TextCell(Reason(q.verdict)) + "</tr>";
  out += StrFormat("</table><h3>Calls the country file does not know (%zu)</h3>",
                   r.unknown.size());
  out += "<table id=unknown>" + Head({"Time", "Call"});
  for (const UnknownCall& u : r.unknown)
    out += "<tr>" + TextCell(Time(u.time)) + TextCell(u.call) + "</tr>";
  return out + "</table></section>\r\n";
}

}  // namespace

std::string RenderReportPage(const ContestReport& r) {
  const std::string call = HtmlEscape(r.station.StationCall);
  std::string page = "<!DOCTYPE html>\r\n<html lang='en'><head><title>Contest report " + call;
  page += kStyle;
  page += StrFormat("<h1>Velmora Memorial Contest HF: %s</h1>\r\n", call.c_str());
  page += Summary(r) + Hours(r) + Rates(r) + Operating(r) + ScoreOverTime(r) + Mults(r) +
          Problems(r);
  return page + "</body></html>\r\n";
}

}  // namespace velmora
