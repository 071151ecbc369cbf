#pragma once

#include <string>

#include "engine/qso_args.h"
#include "setup/module.h"
#include "testing/fake_file_system.h"
#include "testing/fake_host_link.h"
#include "testing/fake_settings_store.h"
#include "testing/fake_window_system.h"

namespace velmora::testing {

// 2017-06-03 hh:mm:ss.
inline COleDateTime At(int hour, int minute, int second = 0, int day = 3) {
  return COleDateTime::FromParts(2017, 6, day, hour, minute, second);
}

// A QSO on 20 m CW with reports and serials, from DL1ABC.
inline QsoArgs Qso(std::string call, std::string prefix, std::string continent,
                   COleDateTime time, std::string band = "20m") {
  QsoArgs q;
  q.own_call = "DL1ABC";
  q.call = std::move(call);
  q.time = time;
  q.freq_hz = 14025300;
  q.mode = "CW";
  q.rst_sent = "599";
  q.rst_rcvd = "599";
  q.nr_sent = "001";
  q.nr_rcvd = "042";
  q.prefix = std::move(prefix);
  q.continent = std::move(continent);
  q.band = std::move(band);
  return q;
}

// A reset for DL1ABC (DL, EU) in the contest of 3-4 June 2017.
inline ResetArgs ContestReset(int export_flag = 0) {
  ResetArgs a;
  a.host_folder = "host/";
  a.export_flag = export_flag;
  a.own_call = "DL1ABC";
  a.start = COleDateTime::FromParts(2017, 6, 3, 12, 0, 0);
  a.end = COleDateTime::FromParts(2017, 6, 4, 11, 59, 0);
  a.own_prefix = "DL";
  a.own_continent = "EU";
  return a;
}

// A module on fake services, reset for DL1ABC (DL, EU) in the contest of
// 3-4 June 2017.
class ModuleFixture {
 public:
  ModuleFixture() : module(Platform{files, settings, windows, host}) {}

  ResetArgs Reset(int export_flag = 0) const { return ContestReset(export_flag); }
  std::string BadQsoFile() { return files.files["BadQSO_StatsZEB_04_06_2017.txt"]; }

  FakeFileSystem files;
  FakeSettingsStore settings;
  FakeWindowSystem windows;
  FakeHostLink host;
  Module module;
};

}  // namespace velmora::testing
