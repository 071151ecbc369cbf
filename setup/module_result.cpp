#include "engine/text_format.h"
#include "results/result_page.h"
#include "results/result_text.h"
#include "results/scoring.h"
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

// Filled in with the Cabrillo writer.
bool Module::RunHeaderFlow(const COleDateTime&, const COleDateTime&) {
  return platform_.windows.RunCabrilloForm(header_);
}

void Module::RunCabrilloExport() {}

}  // namespace velmora
