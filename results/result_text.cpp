#include "results/result_text.h"

#include "engine/text_format.h"

namespace velmora {

std::string RenderResultText(const ResultView& view) {
  const ScoreSheet& s = view.sheet;
  std::string out = StrFormat(
      "Velmora Memorial Contest HF %s-%s \r\n\tContestant: %s\r\n\tQSOs\tPoint\tDXCC\r\n",
      view.station.StartDayMonth.c_str(), view.station.EndDate.c_str(),
      view.station.StationCall.c_str());
  for (const BandScore& row : s.rows)
    out += StrFormat("%s\t %i\t %i\t %i\r\n", row.band.c_str(), row.qsos, row.points,
                     row.mults);
  out += StrFormat("Total\t %i\t %i\t %i\r\n", s.total.qsos, s.total.points,
                   s.total.mults);
  out += StrFormat("\r\nScore: %i*%i = %i\r\n", s.total.points, s.total.mults, s.score);
  if (!view.export_mode && !s.log_empty) {
    out += StrFormat(
        "\r\nHourly (10min) QSO rate: %5i (%i) QSOs/hour\r\n"
        "Hourly (10min) pts rate: %5i (%i) points/hour\r\n\r\n"
        "Last QSO: %i points\r\n\r\nCreated by Tovi 2017",
        s.hour_qsos, 6 * s.ten_qsos, s.hour_points, 6 * s.ten_points, s.last_points);
  }
  return out;
}

}  // namespace velmora
