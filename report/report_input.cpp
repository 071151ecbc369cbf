#include "report/report_input.h"

#include "setup/module.h"

namespace velmora {

ReportInput ReportInputOf(const Module& module) {
  ReportInput in;
  in.log = module.LogCopy();
  in.lists = module.ListsCopy();
  in.station = module.StationCopy();
  return in;
}

}  // namespace velmora
