#include "report/contest_report.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <unordered_set>

namespace velmora {

namespace {

constexpr Seconds kHour = 3600;
// A time chart longer than two weeks comes from a wrong date in the log, not
// from a contest: the chart then keeps to the contest period.
constexpr Seconds kMostHours = 14 * 24;

Seconds FloorHour(Seconds s) { return s - ((s % kHour) + kHour) % kHour; }

// A QSO that counts in the score, in time order.
struct Counted {
  std::size_t index;
  Seconds time;
};

bool Counts(const CInfo& r) { return r.Bad == 0 && !r.Call.empty(); }

// The log's counted QSOs with a valid time, ordered by time and then by log
// position; a log in time order is not sorted again.
std::vector<Counted> CountedInTimeOrder(const QsoLog& log) {
  std::vector<Counted> out;
  out.reserve(log.size());
  for (std::size_t i = 0; i < log.size(); ++i)
    if (Counts(log[i]))
      if (auto t = ToSeconds(log[i].Time)) out.push_back({i, *t});
  auto before = [](const Counted& a, const Counted& b) { return a.time < b.time; };
  if (!std::is_sorted(out.begin(), out.end(), before))
    std::stable_sort(out.begin(), out.end(), before);
  return out;
}

void AddSummary(ContestReport& report, const QsoLog& log) {
  std::map<std::string, ContinentRow> continents;
  for (const CInfo& r : log) {
    if (!Counts(r) || ContestBands().IndexOf(r.Band) < 0) continue;
    const int points = QsoPoints(r, report.station);
    ContinentRow& row = continents[r.Continent.str()];
    row.continent = r.Continent.str();
    row.qsos += 1;
    row.points += points;
    (points == 1 ? report.own_country : points == 3 ? report.own_continent : report.other) += 1;
  }
  for (auto& [name, row] : continents) report.continents.push_back(std::move(row));
}

// The clock hours of the contest period, widened to the QSOs' hours unless
// that makes the chart implausibly long.
std::pair<Seconds, Seconds> ChartHours(const ReportInput& in, const std::vector<Counted>& qsos) {
  std::optional<Seconds> from = ToSeconds(in.start), to = ToSeconds(in.end);
  if (!qsos.empty()) {
    if (!from) from = qsos.front().time;
    if (!to) to = qsos.back().time;
  }
  if (!from || !to) return {0, 0};
  Seconds first = FloorHour(*from), last = FloorHour(std::max(*from, *to));
  if (!qsos.empty()) {
    const Seconds wide_first = std::min(first, FloorHour(qsos.front().time));
    const Seconds wide_last = std::max(last, FloorHour(qsos.back().time));
    if (wide_last - wide_first < kMostHours * kHour) first = wide_first, last = wide_last;
  }
  last = std::min(last, first + (kMostHours - 1) * kHour);
  return {first, last + kHour};
}

void AddHours(ContestReport& report, const ReportInput& in, const std::vector<Counted>& qsos) {
  const auto [first, end] = ChartHours(in, qsos);
  for (Seconds h = first; h < end; h += kHour) report.hours.push_back({.start = h});
  std::array<std::unordered_set<std::string>, kBandCount> seen;
  long long points = 0, mults = 0;
  std::size_t next = 0;
  int counted = 0;
  for (HourRow& hour : report.hours) {
    for (; next < qsos.size() && qsos[next].time < hour.start + kHour; ++next) {
      if (qsos[next].time < hour.start) continue;  // before the chart
      const CInfo& r = in.log[qsos[next].index];
      const int band = ContestBands().IndexOf(r.Band);
      if (band < 0) continue;
      const int p = QsoPoints(r, report.station);
      ++counted;
      hour.qsos[static_cast<std::size_t>(band)] += 1;
      hour.points += p;
      points += p;
      if (seen[static_cast<std::size_t>(band)].insert(r.Prefix.str()).second)
        hour.new_mults += 1, mults += 1;
    }
    hour.score_after = static_cast<int>(points * mults);
  }
  report.outside_period = report.sheet.total.qsos - counted;
}

void AddMults(ContestReport& report, const ReportInput& in, const std::vector<Counted>& qsos) {
  std::map<std::string, MultRow> rows;
  auto note = [&](const CInfo& r, std::optional<Seconds> time) {
    const int band = ContestBands().IndexOf(r.Band);
    if (band < 0) return;
    MultRow& row = rows[r.Prefix.str()];
    const auto b = static_cast<std::size_t>(band);
    if (row.worked[b] && (!time || row.first[b])) return;
    row.worked[b] = true;
    row.first[b] = time;
  };
  for (const Counted& q : qsos) note(in.log[q.index], q.time);  // earliest first
  for (const CInfo& r : in.log)
    if (Counts(r) && !ToSeconds(r.Time)) note(r, std::nullopt);
  for (auto& [prefix, row] : rows) {
    row.prefix = prefix;
    if (auto name = in.entity_names.find(prefix); name != in.entity_names.end())
      row.name = name->second;
    report.mults.push_back(std::move(row));
  }
}

void AddDupes(ContestReport& report, const QsoLog& log) {
  for (std::size_t i = 0; i < log.size(); ++i) {
    const CInfo& r = log[i];
    if (!r.Dupe) continue;
    DupeRow row{r.Call.str(), r.Band.str(), r.Time, std::nullopt};
    if (auto first = log.FindSame(r.Call, r.Band, r.Mode); first && *first != i)
      row.first = log[*first].Time;
    report.dupes.push_back(std::move(row));
  }
}

std::vector<Seconds> TimesOf(const std::vector<Counted>& qsos) {
  std::vector<Seconds> times;
  times.reserve(qsos.size());
  for (const Counted& q : qsos) times.push_back(q.time);
  return times;
}

// Every stored QSO is operating time, dupes included.
std::vector<Seconds> StoredTimes(const QsoLog& log) {
  std::vector<Seconds> times;
  times.reserve(log.size());
  for (const CInfo& r : log)
    if (auto t = ToSeconds(r.Time)) times.push_back(*t);
  if (!std::is_sorted(times.begin(), times.end())) std::sort(times.begin(), times.end());
  return times;
}

void AddOperatingTime(ContestReport& report, const ReportInput& in) {
  const std::vector<Seconds> times = StoredTimes(in.log);
  std::optional<Seconds> from = ToSeconds(in.start), to = ToSeconds(in.end);
  if (!times.empty()) {
    if (!from) from = times.front();
    if (!to) to = times.back();
  }
  if (!from || !to) return;
  report.period_start = *from;
  report.period_end = std::max(*from, *to);
  report.breaks = BreaksOf(times, report.period_start, report.period_end, in.break_minutes);
  for (const Break& b : report.breaks) report.off_seconds += b.end - b.start;
  report.on_seconds = report.period_end - report.period_start - report.off_seconds;
}

}  // namespace

int HourRow::Qsos() const { return std::accumulate(qsos.begin(), qsos.end(), 0); }

std::optional<Seconds> ToSeconds(const COleDateTime& time) {
  if (time.GetStatus() != COleDateTime::kValid || !time.HasFiniteDays()) return std::nullopt;
  // Checked before the product, which could overflow: no log's date is
  // ten billion days away.
  const double days = time.LinearDays();
  if (std::fabs(days) > 1e10) return std::nullopt;
  return static_cast<Seconds>(std::round(days * 86400.0));
}

COleDateTime FromSeconds(Seconds s) {
  return COleDateTime(static_cast<double>(s) / 86400.0, COleDateTime::kValid);
}

ContestReport BuildContestReport(ReportInput in) {
  ContestReport report;
  report.station = in.station;
  report.sheet = ComputeScore(in.log, in.lists, in.station, false);
  report.rejected = static_cast<int>(in.rejected.size());
  AddSummary(report, in.log);
  const std::vector<Counted> qsos = CountedInTimeOrder(in.log);
  AddHours(report, in, qsos);
  const std::vector<Seconds> times = TimesOf(qsos);
  report.best10 = BestWindowOf(times, 10);
  report.best60 = BestWindowOf(times, 60);
  report.last10_rate = LastRate(times, 10);
  report.last100_rate = LastRate(times, 100);
  report.break_minutes = in.break_minutes;
  AddOperatingTime(report, in);
  AddMults(report, in, qsos);
  AddDupes(report, in.log);
  report.rejected_qsos = std::move(in.rejected);
  report.unknown = std::move(in.unknown);
  return report;
}

}  // namespace velmora
