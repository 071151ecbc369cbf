#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/contest_rules.h"
#include "report/report_input.h"
#include "results/scoring.h"

namespace velmora {

// Times in the report are whole seconds on the log's linear day scale.
using Seconds = std::int64_t;

struct ContinentRow {
  std::string continent;
  int qsos = 0;
  int points = 0;
};

// One clock hour of the contest period.
struct HourRow {
  Seconds start = 0;
  std::array<int, kBandCount> qsos{};  // by band index
  int points = 0;
  int new_mults = 0;
  int score_after = 0;  // cumulative score at the end of the hour
  int Qsos() const;
};

// A sliding window with the most QSOs; start is that of its first QSO.
struct BestWindow {
  int minutes = 0;
  int qsos = 0;
  std::optional<Seconds> start;
};

struct Break {
  Seconds start = 0, end = 0;
};

// An entity and the first QSO that counted it, band by band.
struct MultRow {
  std::string prefix;
  std::string name;  // empty when unknown
  std::array<bool, kBandCount> worked{};
  std::array<std::optional<Seconds>, kBandCount> first;  // none without a valid time
};

struct DupeRow {
  std::string call, band;
  COleDateTime time;
  std::optional<COleDateTime> first;  // the QSO it repeats
};

// Every figure of the report. The score figures are those of the plug-in's
// own result pass.
struct ContestReport {
  Station station;
  ScoreSheet sheet;
  int rejected = 0;
  std::vector<ContinentRow> continents;
  int own_country = 0, own_continent = 0, other = 0;

  std::vector<HourRow> hours;
  int outside_period = 0;  // counted QSOs outside the hours shown, or without a valid time

  BestWindow best10, best60;
  std::optional<double> last10_rate, last100_rate;  // QSOs per hour

  int break_minutes = 30;
  Seconds period_start = 0, period_end = 0;
  Seconds on_seconds = 0, off_seconds = 0;
  std::vector<Break> breaks;

  std::vector<MultRow> mults;
  std::vector<DupeRow> dupes;
  std::vector<RejectedQso> rejected_qsos;
  std::vector<UnknownCall> unknown;
};

ContestReport BuildContestReport(ReportInput input);

// The operating figures: sliding windows and rates over the QSO times in
// ascending order, breaks over the times of every stored QSO.
BestWindow BestWindowOf(const std::vector<Seconds>& times, int minutes);
// QSOs per hour over the last `count` QSOs: `count` QSOs made since the QSO
// before them; a shorter log counts from its first QSO.
std::optional<double> LastRate(const std::vector<Seconds>& times, std::size_t count);
// Gaps of at least `minutes` between the period's start, the QSOs and its end.
std::vector<Break> BreaksOf(const std::vector<Seconds>& times, Seconds start, Seconds end,
                            int minutes);

// The whole seconds of a valid time; nullopt for any other.
std::optional<Seconds> ToSeconds(const COleDateTime& time);
COleDateTime FromSeconds(Seconds s);

}  // namespace velmora
