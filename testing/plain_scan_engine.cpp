#include "testing/plain_scan_engine.h"

#include <algorithm>
#include <cmath>

#include "engine/bad_qso_line.h"
#include "engine/contest_rules.h"
#include "engine/qso_validation.h"
#include "results/bad_qso_file.h"

namespace velmora::testing {

namespace {

bool Same(const CInfo& r, std::string_view call, std::string_view band,
          std::string_view mode) {
  return r.Call == call && r.Band == band && r.Mode == mode;
}

// Whole minutes from `time` to `last`, rounded to the second; 0 when either
// is not a valid number. Ages beyond a billion minutes are held there, and
// the days are compared first so that no subtraction can overflow.
long AgeMinutes(const COleDateTime& last, const COleDateTime& time) {
  const auto usable = [](const COleDateTime& t) {
    return t.GetStatus() == COleDateTime::kValid && t.HasFiniteDays();
  };
  if (!usable(last) || !usable(time)) return 0;
  const double a = last.LinearDays(), b = time.LinearDays();
  constexpr double kFar = 1e9 / 1440.0;
  if (a / 2 - b / 2 > kFar / 2) return 1'000'000'000;
  if (b / 2 - a / 2 > kFar / 2) return -1'000'000'000;
  double days = a - b;
  days += days >= 0 ? 5.787037037037037e-06 : -5.787037037037037e-06;
  return static_cast<long>(std::clamp(std::trunc(days * 1440.0), -1e9, 1e9));
}

}  // namespace

void PlainScanEngine::Reset(const Station& station) {
  station_ = station;
  log_.clear();
  lists_.BandsWorked.clear();
  lines_.clear();
}

int PlainScanEngine::Add(const QsoArgs& qso) {
  Verdict verdict = ValidateQso(qso);
  Line line{"", qso.call, ContestBands().Canonical(qso.band), qso.mode,
            QsoTimeText(qso.time), qso.time, false};
  if (verdict != Verdict::kAccepted) {
    line.text = BadQsoLine(qso, VerdictText(verdict));
    lines_.push_back(line);
    return 0;
  }
  CInfo record = MakeRecord(qso);
  lists_.NoteBand(record.Band);
  for (const CInfo& r : log_) {
    if (Same(r, record.Call, record.Band, record.Mode)) {
      record.Bad = record.Dupe = 1;
      line.dupe = true;
      line.text = BadQsoLine(qso, kDupeText);
      lines_.push_back(line);
      break;
    }
  }
  log_.push_back(record);
  return 1;
}

void PlainScanEngine::DropLine(bool dupe, std::string_view call, std::string_view band,
                               std::string_view mode, const COleDateTime& time,
                               std::string_view time_text) {
  for (auto it = lines_.begin(); it != lines_.end(); ++it) {
    bool match = dupe ? (it->dupe && it->call == call && it->band == band &&
                         it->mode == mode && it->time.SameTime(time))
                      : (!it->dupe && it->call == call && it->time_text == time_text);
    if (match) {
      lines_.erase(it);
      return;
    }
  }
}

void PlainScanEngine::Remove(const QsoArgs& qso) {
  std::string band = ContestBands().Canonical(qso.band);
  if (band.empty()) band = qso.band;
  bool removed = false;
  for (std::size_t i = 0; i < log_.size(); ++i) {
    if (!Same(log_[i], qso.call, band, qso.mode) || !log_[i].Time.SameTime(qso.time))
      continue;
    CInfo gone = log_[i];
    log_.erase(log_.begin() + static_cast<std::ptrdiff_t>(i));
    removed = true;
    if (gone.Dupe) {
      DropLine(true, gone.Call, gone.Band, gone.Mode, gone.Time, "");
      break;
    }
    for (CInfo& next : log_) {
      if (Same(next, gone.Call, gone.Band, gone.Mode)) {
        next.Bad = next.Dupe = 0;
        DropLine(true, next.Call, next.Band, next.Mode, next.Time, "");
        break;
      }
    }
    break;
  }
  if (!removed) DropLine(false, qso.call, "", "", qso.time, QsoTimeText(qso.time));
  if (log_.empty()) lists_.ClearWorkedAndMults();
}

CallCheckResult PlainScanEngine::Check(const CheckCallArgs& args,
                                       const std::string& host_version) const {
  CallCheckResult result;
  bool two_bands = !args.band.empty() && !args.band2.empty() &&
                   !EqualsIgnoringCase(args.band, args.band2);
  if (two_bands || !ContestBands().Contains(args.band) ||
      !ContestModes().Contains(args.mode)) {
    result.workable = false;
    result.code = (host_version == "2.19" || host_version == "2.20") ? 1 : 4;
    return result;
  }
  std::string band = ContestBands().Canonical(args.band);
  for (const CInfo& r : log_) {
    if (r.Call != args.call) continue;
    if (r.Band == band && r.Mode == args.mode) {
      result.code = 0;
      return result;
    }
    result.remembered_serial = r.NrRcvd;
  }
  result.code = 2;
  for (const CInfo& r : log_) {
    if (r.Band == band && r.Prefix == args.prefix) {
      result.code = 1;
      break;
    }
  }
  return result;
}

ScoreSheet PlainScanEngine::Score(bool export_mode) {
  SortBandsWorked(lists_.BandsWorked);
  ScoreSheet sheet;
  sheet.log_empty = log_.empty();
  const std::string rate_band = log_.empty() ? "" : log_.back().Band.str();
  int index = 0;
  for (const std::string& band : lists_.BandsWorked) {
    int found = ContestBands().IndexOf(band);
    if (found >= 0) index = found;
    auto& mults = lists_.BandMults[static_cast<std::size_t>(index)];
    mults.clear();
    BandScore row;
    row.band = band;
    for (const CInfo& r : log_) {
      if (r.Band != band || r.Call.empty()) continue;
      row.dupes += r.Dupe;
      if (r.Bad) continue;
      ++row.qsos;
      int points = QsoPoints(r, station_);
      row.points += points;
      if (r.Band == rate_band) {
        sheet.last_points = points;
        if (!export_mode) {
          const long age = AgeMinutes(log_.back().Time, r.Time);
          if (age < 60) ++sheet.hour_qsos, sheet.hour_points += points;
          if (age < 10) ++sheet.ten_qsos, sheet.ten_points += points;
        }
      }
      if (std::find(mults.begin(), mults.end(), r.Prefix) == mults.end()) {
        mults.push_back(r.Prefix.str());
        ++row.mults;
      }
    }
    sheet.total.qsos += row.qsos;
    sheet.total.points += row.points;
    sheet.total.mults += row.mults;
    sheet.total.dupes += row.dupes;
    sheet.rows.push_back(row);
  }
  sheet.total.band = "Total";
  sheet.score = sheet.total.points * sheet.total.mults;
  return sheet;
}

std::string PlainScanEngine::BadQsoFile() const {
  std::string text = kUbnHeading;
  for (const Line& line : lines_) text += line.text;
  return text;
}

int PlainScanEngine::RejectedCount() const {
  int count = 0;
  for (const Line& line : lines_) count += line.dupe ? 0 : 1;
  return count;
}

}  // namespace velmora::testing
