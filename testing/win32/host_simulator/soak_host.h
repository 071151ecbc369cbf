#pragma once

#include <string>
#include <vector>

#include "engine/qso_args.h"
#include "testing/win32/host_simulator/soak_plan.h"
#include "testing/scenario_runner.h"

namespace velmora::testing {

// The host logger's side of the soak: its log, in its own order, and the
// calls it makes into the DLL's entry points.
class SoakHost {
 public:
  SoakHost(const EntryPoints& dll, SoakContest& contest) : dll_(dll), contest_(contest) {}

  // The reset every hand-over starts with: DL1ABC (DL, EU), 3-4 June 2017.
  static ResetArgs Reset();

  // The host's log: the contest's first `qsos` QSOs.
  void Log(int qsos);
  // A reset and the whole log after it.
  void HandOver();
  // The operator edits a QSO: it is removed, and added again at the log's end.
  void RemoveAndAddAgain();
  void CheckCall(const SoakContest::Typed& typed);
  void AnnounceVersion();
  std::string Result();

  const std::vector<QsoArgs>& log() const { return log_; }

 private:
  int Call(decltype(&::AddData0) entry, const QsoArgs& q);

  const EntryPoints& dll_;
  SoakContest& contest_;
  std::vector<QsoArgs> log_;
};

// The result the core gives for `log` handed over after one reset, the way a
// replay of the log drives it; the page once the host has announced its
// version.
std::string ReplayThroughCore(const std::vector<QsoArgs>& log, bool page);

}  // namespace velmora::testing
