#include "testing/win32/host_simulator/soak_host.h"

#include "testing/module_fixture.h"

namespace velmora::testing {

ResetArgs SoakHost::Reset() {
  ResetArgs a = ContestReset();
  a.host_folder = "";
  return a;
}

void SoakHost::Log(int qsos) {
  for (int n = 0; n < qsos; ++n) log_.push_back(contest_.Qso(n));
}

void SoakHost::HandOver() {
  const ResetArgs r = Reset();
  COleDateTime start = r.start, end = r.end;
  const char* e = "";
  dll_.reset_stats(r.host_folder.c_str(), r.export_flag, r.own_call.c_str(), &start, &end, e,
                   e, e, e, e, e, e, e, e, r.own_prefix.c_str(), 0, 0, 0, 0.0, 0.0, e,
                   r.own_continent.c_str(), e);
  for (const QsoArgs& q : log_) Call(dll_.add_data, q);
}

void SoakHost::RemoveAndAddAgain() {
  const auto at = log_.begin() + contest_.Pick(static_cast<int>(log_.size()));
  const QsoArgs q = *at;
  Call(dll_.remove_data, q);
  log_.erase(at);
  Call(dll_.add_data, q);
  log_.push_back(q);
}

void SoakHost::CheckCall(const SoakContest::Typed& typed) {
  const char* e = "";
  char serial[10] = "", out28[10] = "";
  dll_.check_call(typed.call.c_str(), 0, 0, "CW", e, e, e, e, e, e, e, e, e,
                  typed.prefix.c_str(), 0, 0, 0, 0.0, 0.0, e, e, e, e, e, typed.band.c_str(),
                  e, serial, out28);
}

void SoakHost::AnnounceVersion() { dll_.set_version("5.0"); }

std::string SoakHost::Result() {
  const char* text = dll_.get_result(nullptr);
  return text ? text : "";
}

int SoakHost::Call(decltype(&::AddData0) entry, const QsoArgs& q) {
  COleDateTime time = q.time;
  const char* e = "";
  return entry(q.own_call.c_str(), q.call.c_str(), &time, nullptr, nullptr, nullptr, 0,
               q.freq_hz, q.mode.c_str(), q.rst_sent.c_str(), q.rst_rcvd.c_str(),
               q.nr_sent.c_str(), q.nr_rcvd.c_str(), e, e, e, e, e, e, e, e, e,
               q.prefix.c_str(), 0, 0, 0, 0.0, 0.0, e, q.continent.c_str(), e, q.band.c_str(),
               e);
}

std::string ReplayThroughCore(const std::vector<QsoArgs>& log, bool page) {
  ModuleFixture twin;
  twin.module.ResetStats(SoakHost::Reset());
  if (page) twin.module.SetVersion();
  for (const QsoArgs& q : log) twin.module.AddData(q);
  return twin.module.GetResult(nullptr);
}

}  // namespace velmora::testing
