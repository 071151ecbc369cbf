#include "results/result_page.h"

#include "engine/text_format.h"

namespace velmora {

namespace {

// The page's fixed fragments, byte for byte (its unbalanced tags included:
// hosts that show the page are used to them).
constexpr char kPageHead[] =
    "<html><head><style>table{ width:100%; }table, th, td{ border: 1px solid black; "
    "border-collapse: collapse; }th, td{ padding: 1px; text-align: middle; }th,td{ "
    "background-color: #fffac6; color: black}</style></head><body>";
#define VELMORA_TITLE \
  "<center><b>%s</b></center><center>Contestant:  <b>%s</center></b><table>"
#define VELMORA_COLUMN_HEADS "<tr><th> %s</th><th> %s</th><th> %s</th><th> %s</th></tr>"
#define VELMORA_BAND_ROW                                                      \
  "<tr><th> <center>%s</center></th><td><center>%i</center></td><td><center>%i" \
  "</center></td><td><center>%i</center></td></tr>"
#define VELMORA_COUNT_ROW \
  "<tr><th> <center>%s</center></th><td><center>%i</center></td><td colspan=8> </td></tr>"
#define VELMORA_RATE_ROW "<tr><th> %s </th><td colspan=9><center>%5i /%i</center></td></tr>"
#define VELMORA_RATE_HEADING "<th colspan=10><center>%s</center></th></tr>"
#define VELMORA_LAST_ROW "<tr><th>%s</small></th><td colspan=9><center>%5i</center></td></tr>"
#define VELMORA_SCORE_ROW "<tr><th>%s</th><td colspan=9><center>%i * %i = %i</center></td></tr>"
constexpr char kPageFoot[] =
    "</table><h6 align=right>Created by Tovi 2017</h6></body></html>";

}  // namespace

std::string RenderResultPage(const ResultView& view) {
  const ScoreSheet& s = view.sheet;
  std::string caption = StrFormat("   Velmora Memorial Contest HF %s-%s",
                                  view.station.StartDayMonth.c_str(),
                                  view.station.EndDate.c_str());
  std::string out = kPageHead;
  out += StrFormat(VELMORA_TITLE, caption.c_str(), view.station.StationCall.c_str());
  out += StrFormat(VELMORA_COLUMN_HEADS, "Band", "QSOs", "Points", "DXCC");
  for (const BandScore& row : s.rows)
    out += StrFormat(VELMORA_BAND_ROW, row.band.c_str(), row.qsos, row.points, row.mults);
  out += StrFormat(VELMORA_BAND_ROW, "Total", s.total.qsos, s.total.points, s.total.mults);
  out += StrFormat(VELMORA_COUNT_ROW, "Dupe", s.total.dupes);
  out += StrFormat(VELMORA_COUNT_ROW, "Bad QSO", view.bad_qsos);
  out += StrFormat(VELMORA_SCORE_ROW, "Score:", s.total.points, s.total.mults, s.score);
  out += StrFormat(VELMORA_LAST_ROW, "Last QSO points:", s.last_points);
  out += StrFormat(VELMORA_RATE_HEADING, "Rate");
  out += StrFormat(VELMORA_RATE_ROW, "Hourly (10min/1 hour) QSO rate:", s.hour_qsos,
                   6 * s.ten_qsos);
  out += StrFormat(VELMORA_RATE_ROW, "Hourly (10min/1 hour) pts rate:", s.hour_points,
                   6 * s.ten_points);
  out += kPageFoot;
  return out;
}

}  // namespace velmora
