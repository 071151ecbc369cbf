#pragma once

#include <string>

#include "engine/ole_date_time.h"

namespace velmora {

// The values of AddData0 / RemoveData0 that the plug-in reads, copied from the
// host's arguments (a null text reads as empty).
struct QsoArgs {
  std::string own_call;
  std::string call;
  COleDateTime time;
  unsigned int freq_hz = 0;
  std::string mode;
  std::string rst_sent;
  std::string rst_rcvd;
  std::string nr_sent;
  std::string nr_rcvd;
  std::string prefix;
  std::string continent;
  std::string band;
};

struct ResetArgs {
  std::string host_folder;
  int export_flag = 0;
  std::string own_call;
  COleDateTime start;
  COleDateTime end;
  std::string own_prefix;
  std::string own_continent;
};

struct CheckCallArgs {
  std::string call;
  std::string mode;
  std::string prefix;
  std::string band;
  std::string band2;
  bool has_band2 = false;  // the host passed a second band at all
};

}  // namespace velmora
