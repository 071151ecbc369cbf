#include "engine/host_detection.h"
#include "setup/module.h"
#include "setup/start_rule.h"

namespace velmora {

namespace {

bool IsRussianSpeakingPrefix(const std::string& prefix) {
  for (const char* p : {"UA", "UA2", "UA2/f", "UA9", "UN", "UR", "EU"})
    if (prefix == p) return true;
  return false;
}

}  // namespace

int Module::ResetStats(const ResetArgs& args) {
  host_version_ = DetectHostVersion(platform_.files, args.host_folder, host_version_);
  {
    std::lock_guard lock(mutex_);
    station_.HostFolder = args.host_folder;
    station_.StartDayMonth = args.start.Format("%d.%m");
    station_.StartYear = args.start.Format("%Y");
    station_.EndDate = args.end.Format("%d.%m.%Y");
    log_.Clear();
    lists_.BandsWorked.clear();
    station_.StationPrefix = args.own_prefix;
    station_.StationContinent = args.own_continent;
    station_.StationCall = args.own_call;
    lists_.ResetRows();
  }
  if (IsRussianSpeakingPrefix(args.own_prefix)) russian_texts_ = true;
  WriteErrFile(platform_.files);
  export_flag_ = args.export_flag != 0;
  if (export_flag_ && !RunHeaderFlow(args.start, args.end)) export_flag_ = false;
  ApplyStartRule(settings_, platform_.windows, host_version_, args.export_flag != 0);
  bad_qsos_.Start("BadQSO_StatsZEB_" + args.end.Format("%d_%m_%Y") + ".txt");
  return 1;
}

}  // namespace velmora
