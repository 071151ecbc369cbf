#include "plugin/exports.h"

#include "engine/exchange_rule.h"
#include "platform/float_state_guard.h"
#include "plugin/module_instance.h"

// Each entry point runs in the floating-point state the plug-in is written
// for and gives the host its own back (FloatStateGuard), copies its arguments
// (a null text reads as empty, a date that is no number as invalid), calls
// the module and returns the contract's safe value if anything goes wrong:
// nothing may escape into the host.

namespace {

using velmora::TheModule;

std::string Text(const char* s) { return s ? std::string(s) : std::string(); }

COleDateTime Time(const COleDateTime* t) {
  return t ? t->Canonical() : COleDateTime(0.0, COleDateTime::kNull);
}

velmora::QsoArgs MakeQsoArgs(const char* own_call, const char* call,
                             const COleDateTime* time, unsigned int freq_hz,
                             const char* mode, const char* rst_sent,
                             const char* rst_rcvd, const char* nr_sent,
                             const char* nr_rcvd, const char* prefix,
                             const char* continent, const char* band) {
  velmora::QsoArgs q;
  q.own_call = Text(own_call);
  q.call = Text(call);
  q.time = Time(time);
  q.freq_hz = freq_hz;
  q.mode = Text(mode);
  q.rst_sent = Text(rst_sent);
  q.rst_rcvd = Text(rst_rcvd);
  q.nr_sent = Text(nr_sent);
  q.nr_rcvd = Text(nr_rcvd);
  q.prefix = Text(prefix);
  q.continent = Text(continent);
  q.band = Text(band);
  return q;
}

const char kSetName[] = "Velmora Memorial(C)";
const char kEmpty[] = "";

}  // namespace

extern "C" {

int AddData0(const char* own_call, const char* call, COleDateTime* time,
             COleDateTime*, COleDateTime*, COleDateTime*, unsigned int,
             unsigned int freq_hz, const char* mode, const char* rst_sent,
             const char* rst_rcvd, const char* nr_sent, const char* nr_rcvd,
             const char*, const char*, const char*, const char*, const char*,
             const char*, const char*, const char*, const char*, const char* prefix,
             int, int, int, double, double, const char*, const char* continent,
             const char*, const char* band, const char*) {
  const velmora::FloatStateGuard state;
  try {
    return TheModule().AddData(MakeQsoArgs(own_call, call, time, freq_hz, mode,
                                           rst_sent, rst_rcvd, nr_sent, nr_rcvd,
                                           prefix, continent, band));
  } catch (...) {
    return 0;
  }
}

int RemoveData0(const char* own_call, const char* call, COleDateTime* time,
                COleDateTime*, COleDateTime*, COleDateTime*, unsigned int,
                unsigned int freq_hz, const char* mode, const char* rst_sent,
                const char* rst_rcvd, const char* nr_sent, const char* nr_rcvd,
                const char*, const char*, const char*, const char*, const char*,
                const char*, const char*, const char*, const char*,
                const char* prefix, int, int, int, double, double, const char*,
                const char* continent, const char*, const char* band, const char*) {
  const velmora::FloatStateGuard state;
  try {
    return TheModule().RemoveData(MakeQsoArgs(own_call, call, time, freq_hz, mode,
                                              rst_sent, rst_rcvd, nr_sent, nr_rcvd,
                                              prefix, continent, band));
  } catch (...) {
    return 1;
  }
}

int ResetStats0(const char* host_folder, int export_flag, const char* own_call,
                COleDateTime* start, COleDateTime* end, const char*, const char*,
                const char*, const char*, const char*, const char*, const char*,
                const char*, const char*, const char* own_prefix, int, int, int,
                double, double, const char*, const char* own_continent,
                const char*) {
  const velmora::FloatStateGuard state;
  try {
    velmora::ResetArgs a;
    a.host_folder = Text(host_folder);
    a.export_flag = export_flag;
    a.own_call = Text(own_call);
    a.start = Time(start);
    a.end = Time(end);
    a.own_prefix = Text(own_prefix);
    a.own_continent = Text(own_continent);
    return TheModule().ResetStats(a);
  } catch (...) {
    return 1;
  }
}

int CheckCall0(const char* call, unsigned int, unsigned int, const char* mode,
               const char*, const char*, const char*, const char*, const char*,
               const char*, const char*, const char*, const char*,
               const char* prefix, int, int, int, double, double, const char*,
               const char*, const char*, const char*, const char*, const char* band,
               const char* band2, char* serial_out, char*) {
  const velmora::FloatStateGuard state;
  try {
    velmora::CheckCallArgs a;
    a.call = Text(call);
    a.mode = Text(mode);
    a.prefix = Text(prefix);
    a.band = Text(band);
    a.band2 = Text(band2);
    a.has_band2 = band2 != nullptr;
    return TheModule().CheckCall(a, serial_out);
  } catch (...) {
    return 4;
  }
}

int IsValidExchg0(const char* exchange, const char*, const char*, const char*, int,
                  int, int) {
  const velmora::FloatStateGuard state;
  return exchange != nullptr && velmora::IsValidExchange(exchange) ? 1 : 0;
}

int GetExchgCount0(const char*, const char*, const char*) {
  const velmora::FloatStateGuard state;
  return 1;
}

int GetNumberOfSets() {
  const velmora::FloatStateGuard state;
  return 1;
}

const char* GetSetName(int index) {
  const velmora::FloatStateGuard state;
  return index == 0 ? kSetName : kEmpty;
}

const char* GetResult0(int* score) {
  const velmora::FloatStateGuard state;
  try {
    return TheModule().GetResult(score);
  } catch (...) {
    if (score != nullptr) *score = -1;
    return kEmpty;
  }
}

void SetupSet0() {
  const velmora::FloatStateGuard state;
  try {
    TheModule().SetupSet();
  } catch (...) {
  }
}

unsigned long setVersion(const char*) {
  const velmora::FloatStateGuard state;
  try {
    TheModule().SetVersion();
  } catch (...) {
  }
  return 0;
}

}  // extern "C"
