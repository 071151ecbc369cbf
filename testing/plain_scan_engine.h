#pragma once

#include <string>
#include <vector>

#include "engine/band_lists.h"
#include "engine/call_check.h"
#include "engine/qso_args.h"
#include "engine/qso_record.h"
#include "engine/station.h"
#include "results/scoring.h"

namespace velmora::testing {

// The contest rules with nothing but plain scans over the log, as simple as
// they can be written: the yardstick for the indexed engine in the property
// test and the baseline of the benchmarks. The bad-QSO file is kept as text.
class PlainScanEngine {
 public:
  void Reset(const Station& station);
  int Add(const QsoArgs& qso);
  void Remove(const QsoArgs& qso);
  CallCheckResult Check(const CheckCallArgs& args, const std::string& host_version) const;
  // One pass over the log per band row.
  ScoreSheet Score(bool export_mode);
  std::string BadQsoFile() const;
  int RejectedCount() const;
  const std::vector<CInfo>& log() const { return log_; }
  const BandLists& lists() const { return lists_; }

 private:
  struct Line {
    std::string text, call, band, mode, time_text;
    COleDateTime time;
    bool dupe = false;
  };
  void DropLine(bool dupe, std::string_view call, std::string_view band,
                std::string_view mode, const COleDateTime& time, std::string_view time_text);

  std::vector<CInfo> log_;
  BandLists lists_;
  Station station_;
  std::vector<Line> lines_;
};

}  // namespace velmora::testing
