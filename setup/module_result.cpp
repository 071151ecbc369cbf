#include "engine/text_format.h"
#include "results/cabrillo_file_name.h"
#include "results/cabrillo_writer.h"
#include "results/result_page.h"
#include "results/result_text.h"
#include "results/scoring.h"
#include "setup/header_flow.h"
#include "setup/module.h"

namespace velmora {

const char* Module::GetResult(int* score) {
  ScoreSheet sheet;
  Station station;
  {
    std::lock_guard lock(mutex_);
    sheet = ComputeScore(log_, lists_, station_, export_flag_);
    station = station_;
  }
  ResultView view{sheet, station, export_flag_, bad_qsos_.CountRejected()};
  result_ = version_announced_ ? RenderResultPage(view) : RenderResultText(view);
  claimed_score_ = sheet.score;
  settings_.WriteText("Claimed", StrFormat("%i", sheet.score));
  if (export_flag_) RunCabrilloExport();
  if (score != nullptr) *score = -1;
  return result_.c_str();
}

// The file keeps the name of the call the host passed, even when the call is
// edited in the form.
bool Module::RunHeaderFlow(const COleDateTime&, const COleDateTime&) {
  const std::string call = StationCopy().StationCall;
  cabrillo_file_base_ = CabrilloFileBase(call);
  return RunCabrilloHeaderFlow(settings_, platform_.windows, call, header_);
}

// The log is copied under the lock; the file is written outside it.
void Module::RunCabrilloExport() {
  const std::string text =
      CabrilloFileText(header_, LogCopy(), claimed_score_, host_version_);
  WriteCabrilloFile(platform_.files, platform_.windows, cabrillo_file_base_, text);
}

}  // namespace velmora
