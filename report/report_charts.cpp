#include "report/report_charts.h"

#include <algorithm>

#include "engine/text_format.h"

namespace velmora {

namespace {

constexpr double kWidth = 720, kHeight = 272;
constexpr double kLeft = 48, kRight = 48, kTop = 16, kBottom = 56;
constexpr double kPlotW = kWidth - kLeft - kRight, kPlotH = kHeight - kTop - kBottom;

struct BandStyle {
  const char* colour;
  const char* shape;  // the pattern's marks over the colour
};

// 160 m to 10 m, dark to light, each with marks of its own.
constexpr BandStyle kBandStyles[kBandCount] = {
    {"#1b3a6b", ""},
    {"#2f6db5", "<path d='M0,6 L6,0' stroke='#fff' stroke-width='1.5'/>"},
    {"#3c9d5d", "<circle cx='3' cy='3' r='1.3' fill='#fff'/>"},
    {"#d9a520", "<path d='M0,3 H6' stroke='#000' stroke-width='1'/>"},
    {"#d4572a", "<path d='M0,0 L6,6 M0,6 L6,0' stroke='#fff' stroke-width='1'/>"},
    {"#9b59b6", "<path d='M3,0 V6' stroke='#fff' stroke-width='1.5'/>"},
};

std::string PatternDefs(const char* chart) {
  std::string out = "<defs>";
  for (int b = 0; b < kBandCount; ++b) {
    const BandStyle& s = kBandStyles[b];
    out += StrFormat("<pattern id='%s-band%d' width='6' height='6' patternUnits='userSpaceOnUse'>"
                     "<rect width='6' height='6' fill='%s'/>%s</pattern>",
                     chart, b, s.colour, s.shape);
  }
  return out + "</defs>";
}

// The smallest of 1, 2, 5, 10, 20, 50 ... that is at least `value`.
double NiceCeiling(int value) {
  double step = 1;
  while (true) {
    for (double m : {1.0, 2.0, 5.0})
      if (step * m >= value) return step * m;
    step *= 10;
  }
}

std::string Open(const char* label) {
  return StrFormat("<svg viewBox='0 0 %g %g' role='img' aria-label='%s' "
                   "xmlns='http://www.w3.org/2000/svg' font-size='11' "
                   "font-family='sans-serif'>",
                   kWidth, kHeight, label);
}

// Hour labels under the plot: every hour's clock hour when there is room,
// fewer otherwise; the date at midnight and at the first hour.
std::string HourAxis(const ContestReport& r) {
  const std::size_t n = r.hours.size();
  const std::size_t every = std::max<std::size_t>(1, (n + 23) / 24);
  const double slot = kPlotW / static_cast<double>(std::max<std::size_t>(1, n));
  std::string out;
  for (std::size_t i = 0; i < n; i += every) {
    const COleDateTime t = FromSeconds(r.hours[i].start);
    const double x = kLeft + slot * (static_cast<double>(i) + 0.5);
    out += StrFormat("<text x='%.1f' y='%g' text-anchor='middle'>%s</text>", x,
                     kTop + kPlotH + 14, t.Format("%H").c_str());
    if (i == 0 || t.Format("%H") == "00")
      out += StrFormat("<text x='%.1f' y='%g' text-anchor='middle'>%s</text>", x,
                       kTop + kPlotH + 28, t.Format("%d.%m").c_str());
  }
  return out;
}

// Grid lines and numbers of the left scale (and of the right one if given).
std::string Scales(double left_top, double right_top, const char* left_name, const char* right_name) {
  std::string out = StrFormat("<rect x='%g' y='%g' width='%g' height='%g' fill='none' "
                              "stroke='#888'/>",
                              kLeft, kTop, kPlotW, kPlotH);
  for (int k = 0; k <= 4; ++k) {
    const double y = kTop + kPlotH - kPlotH * k / 4;
    out += StrFormat("<line x1='%g' x2='%g' y1='%.1f' y2='%.1f' stroke='#ddd'/>"
                     "<text x='%g' y='%.1f' text-anchor='end'>%.10g</text>",
                     kLeft, kLeft + kPlotW, y, y, kLeft - 4, y + 4, left_top * k / 4);
    if (right_name)
      out += StrFormat("<text x='%g' y='%.1f'>%.10g</text>", kLeft + kPlotW + 4, y + 4,
                       right_top * k / 4);
  }
  out += StrFormat("<text x='4' y='%g'>%s</text>", kTop - 4, left_name);
  if (right_name)
    out += StrFormat("<text x='%g' y='%g' text-anchor='end'>%s</text>", kWidth - 4, kTop - 4,
                     right_name);
  return out;
}

std::string Bars(const ContestReport& r, double top) {
  const double slot = kPlotW / static_cast<double>(std::max<std::size_t>(1, r.hours.size()));
  std::string out;
  for (std::size_t i = 0; i < r.hours.size(); ++i) {
    const HourRow& h = r.hours[i];
    const double x = kLeft + slot * static_cast<double>(i) + slot * 0.1;
    double y = kTop + kPlotH;
    out += StrFormat("<g><title>%s: %d QSOs, %d points</title>",
                     FromSeconds(h.start).Format("%Y-%m-%d %H:00").c_str(), h.Qsos(), h.points);
    for (int b = 0; b < kBandCount; ++b) {
      const int q = h.qsos[static_cast<std::size_t>(b)];
      if (q == 0) continue;
      const double height = kPlotH * q / top;
      y -= height;
      out += StrFormat("<rect x='%.2f' y='%.2f' width='%.2f' height='%.2f' "
                       "fill='url(#hours-band%d)' stroke='#000' stroke-width='0.3'/>",
                       x, y, slot * 0.8, height, b);
    }
    out += "</g>";
  }
  return out;
}

// A polyline through one value per hour, at the middle of its slot.
std::string Line(const ContestReport& r, double top, int (*value)(const HourRow&),
                 const char* style) {
  const double slot = kPlotW / static_cast<double>(std::max<std::size_t>(1, r.hours.size()));
  std::string out = StrFormat("<polyline fill='none' %s points='", style);
  for (std::size_t i = 0; i < r.hours.size(); ++i)
    out += StrFormat("%.1f,%.1f ", kLeft + slot * (static_cast<double>(i) + 0.5),
                     kTop + kPlotH - kPlotH * value(r.hours[i]) / top);
  return out + "'/>";
}

std::string Legend() {
  static const char* const kNames[kBandCount] = {"160m", "80m", "40m", "20m", "15m", "10m"};
  std::string out;
  double x = kLeft;
  const double y = kHeight - 4;
  for (int b = 0; b < kBandCount; ++b, x += 62)
    out += StrFormat("<rect x='%g' y='%g' width='14' height='10' fill='url(#hours-band%d)' "
                     "stroke='#000' stroke-width='0.5'/><text x='%g' y='%g'>%s</text>",
                     x, y - 9, b, x + 18, y, kNames[b]);
  out += StrFormat("<line x1='%g' x2='%g' y1='%g' y2='%g' stroke='#000' stroke-width='2' "
                   "stroke-dasharray='5,3'/><text x='%g' y='%g'>points (right scale)</text>",
                   x, x + 20, y - 4, y - 4, x + 24, y);
  return out;
}

}  // namespace

std::string HourChartSvg(const ContestReport& r) {
  int most_qsos = 1, most_points = 1;
  for (const HourRow& h : r.hours) {
    most_qsos = std::max(most_qsos, h.Qsos());
    most_points = std::max(most_points, h.points);
  }
  const double qso_top = NiceCeiling(most_qsos), point_top = NiceCeiling(most_points);
  return Open("QSOs per hour by band, points per hour") + PatternDefs("hours") +
         Scales(qso_top, point_top, "QSOs", "points") + Bars(r, qso_top) +
         Line(r, point_top, [](const HourRow& h) { return h.points; },
              "stroke='#000' stroke-width='2' stroke-dasharray='5,3'") +
         HourAxis(r) + Legend() + "</svg>";
}

std::string ScoreChartSvg(const ContestReport& r) {
  int most = 1;
  for (const HourRow& h : r.hours) most = std::max(most, h.score_after);
  const double top = NiceCeiling(most);
  return Open("Cumulative score") + Scales(top, 0, "score", nullptr) +
         Line(r, top, [](const HourRow& h) { return h.score_after; },
              "stroke='#1b3a6b' stroke-width='2.5'") +
         HourAxis(r) + "</svg>";
}

}  // namespace velmora
