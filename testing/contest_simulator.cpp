#include "testing/contest_simulator.h"

#include <algorithm>
#include <array>
#include <unordered_map>
#include <unordered_set>

#include "engine/text_format.h"

namespace velmora::testing {

namespace {

// splitmix64: the same numbers on every platform and library.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
  }
  int Below(int n) { return n <= 0 ? 0 : static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
  bool PerMille(int rate) { return Below(1000) < rate; }

 private:
  std::uint64_t state_;
};

constexpr std::array<const char*, 32> kPrefixes = {
    "DL", "F",  "G",  "I",  "OK", "SP", "W",  "K",  "JA", "VK", "PY", "UA", "EA", "ON", "PA", "OH",
    "SM", "LY", "YL", "ES", "HA", "YO", "LZ", "S5", "9A", "OE", "HB9", "ZS", "LU", "VE", "CE", "XE"};
constexpr std::array<int, 6> kBandKhz = {1830, 3530, 7025, 14025, 21025, 28025};
constexpr int kBlocks = 8;          // three-hour blocks of the 24-hour contest
constexpr int kBlockMinutes = 180;
// Letters a CW operator mixes up (codes one element apart).
constexpr std::array<std::pair<char, char>, 16> kConfusions = {{
    {'E', 'I'}, {'I', 'S'}, {'S', 'H'}, {'T', 'M'}, {'M', 'O'}, {'A', 'W'}, {'W', 'J'}, {'U', 'V'},
    {'N', 'D'}, {'D', 'B'}, {'K', 'C'}, {'R', 'L'}, {'G', 'Z'}, {'F', 'L'}, {'Y', 'Q'}, {'X', 'P'}}};

struct Station {
  std::string call;
  std::array<int, kBlocks> band{};
  bool sends_log = true;
  bool clean = false;
  int offset = 0;
  int serial = 0;
};

// One line of a log being made.
struct Entry {
  int minute;        // as logged (offset and jitter in)
  int order;         // QSO number, to keep the file in time order
  std::string call;  // as logged
  int band;
  int sent, rcvd;    // serials as sent and as copied
  bool pad_rcvd;
  SimTruth truth;
  std::string truth_call;  // the call the line should name (for unique/unverified)
};

std::string MakeCall(Random& r) {
  std::string call = kPrefixes[static_cast<std::size_t>(r.Below(kPrefixes.size()))];
  call += static_cast<char>('0' + r.Below(10));
  for (int i = 0; i < 3; ++i) call += static_cast<char>('A' + r.Below(26));
  return call;
}

// A CW-like error in the suffix: a confused letter, or A heard as ET.
std::string Bust(const std::string& call, Random& r) {
  std::string busted = call;
  const std::size_t first = busted.find_last_of("0123456789") + 1;
  for (int attempt = 0; attempt < 20; ++attempt) {
    std::size_t at = first + static_cast<std::size_t>(r.Below(static_cast<int>(busted.size() - first)));
    for (auto [a, b] : kConfusions) {
      if (busted[at] == a) { busted[at] = b; return busted; }
      if (busted[at] == b) { busted[at] = a; return busted; }
    }
    if (busted[at] == 'A') return busted.replace(at, 1, "ET");
  }
  busted.back() = busted.back() == 'Z' ? 'Y' : static_cast<char>(busted.back() + 1);
  return busted;
}

std::string TimeText(int minute) {
  // Minute 0 is 2017-06-03 12:00; the base day leaves room for clocks behind.
  const int total = minute + 12 * 60 + 24 * 60;
  const int day = 2 + total / 1440, in_day = total % 1440;
  return StrFormat("2017-06-%02d %02d%02d", day, in_day / 60, in_day % 60);
}

std::string ReportName(const std::string& call) {
  std::string name = call;
  std::replace(name.begin(), name.end(), '/', '_');
  return name;
}

}  // namespace

SimContest SimulateContest(const SimulatorOptions& o) {
  Random r(o.seed);
  std::vector<Station> stations;
  std::unordered_set<std::string> calls;
  while (static_cast<int>(stations.size()) < o.stations) {
    Station s;
    s.call = MakeCall(r);
    if (!calls.insert(s.call).second) continue;
    const int home = r.Below(6);
    for (int& band : s.band) band = r.PerMille(600) ? home : r.Below(6);
    stations.push_back(std::move(s));
  }
  for (Station& s : stations) {
    s.sends_log = !r.PerMille(o.no_log_per_mille);
    s.clean = s.sends_log && r.PerMille(o.clean_per_mille);
  }
  auto offset_log = [&](int count, auto offset) {
    for (int made = 0, tries = 0; made < count && tries < 1000; ++tries) {
      Station& s = stations[static_cast<std::size_t>(r.Below(o.stations))];
      if (!s.sends_log || s.clean || s.offset) continue;
      s.offset = offset();
      ++made;
    }
  };
  offset_log(o.local_time_logs, [&] { return 60 * (1 + r.Below(2)); });
  offset_log(o.minutes_off_logs, [&] { return (r.Below(2) ? 1 : -1) * (8 + r.Below(13)); });

  // Who is on which band in each block.
  std::array<std::array<std::vector<int>, 6>, kBlocks> on_air;
  for (int i = 0; i < o.stations; ++i)
    for (int b = 0; b < kBlocks; ++b) on_air[b][static_cast<std::size_t>(stations[i].band[b])].push_back(i);

  struct Qso { int minute, a, b, band; };
  std::vector<Qso> qsos;
  std::unordered_set<std::uint64_t> worked;
  const long long wanted = static_cast<long long>(o.stations) * o.qsos_per_station / 2;
  for (long long tries = 0; static_cast<long long>(qsos.size()) < wanted && tries < wanted * 20; ++tries) {
    const int block = r.Below(kBlocks), band = r.Below(6);
    const std::vector<int>& group = on_air[block][static_cast<std::size_t>(band)];
    if (group.size() < 2) continue;
    int a = group[static_cast<std::size_t>(r.Below(static_cast<int>(group.size())))];
    int b = group[static_cast<std::size_t>(r.Below(static_cast<int>(group.size())))];
    if (a == b) continue;
    if ((stations[a].clean && !stations[b].sends_log) || (stations[b].clean && !stations[a].sends_log))
      continue;
    const std::uint64_t key = (static_cast<std::uint64_t>(std::min(a, b)) << 36) |
                              (static_cast<std::uint64_t>(std::max(a, b)) << 4) |
                              static_cast<std::uint64_t>(band);
    if (!worked.insert(key).second) continue;
    qsos.push_back({block * kBlockMinutes + r.Below(kBlockMinutes), a, b, band});
  }
  std::stable_sort(qsos.begin(), qsos.end(), [](const Qso& x, const Qso& y) { return x.minute < y.minute; });

  std::vector<std::vector<Entry>> entries(stations.size());
  for (std::size_t n = 0; n < qsos.size(); ++n) {
    const Qso& q = qsos[n];
    const int serial_a = ++stations[q.a].serial, serial_b = ++stations[q.b].serial;
    const bool errors = !stations[q.a].clean && !stations[q.b].clean;
    const bool both_log = stations[q.a].sends_log && stations[q.b].sends_log;
    // One error at most a QSO, on one side.
    enum { kNone, kBust, kSerial, kUnlogged, kDupe } error = kNone;
    const int side = r.Below(2);
    if (errors) {
      const int roll = r.Below(1000);
      int edge = o.bust_per_mille;
      if (roll < edge) error = kBust;
      else if (roll < (edge += o.serial_per_mille)) error = kSerial;
      else if (roll < (edge += o.unlogged_per_mille)) error = both_log ? kUnlogged : kNone;
      else if (roll < (edge += o.dupe_per_mille)) error = kDupe;
    }
    for (int s = 0; s < 2; ++s) {
      const int me = s == 0 ? q.a : q.b, other = s == 0 ? q.b : q.a;
      if (!stations[me].sends_log) continue;
      const bool hit = error != kNone && s == side;
      if (hit && error == kUnlogged) continue;
      Entry e;
      e.minute = q.minute + r.Below(3) - 1 + stations[me].offset;
      e.order = static_cast<int>(n);
      e.call = stations[other].call;
      e.truth_call = e.call;
      e.band = q.band;
      e.sent = s == 0 ? serial_a : serial_b;
      e.rcvd = s == 0 ? serial_b : serial_a;
      e.pad_rcvd = r.PerMille(500);
      e.truth.verdict = "ok";
      if (hit && error == kBust) {
        do e.call = Bust(stations[other].call, r); while (calls.count(e.call));
        e.truth_call = e.call;
        e.truth.verdict = "busted-call";
        e.truth.correct_call = stations[other].call;
      } else if (hit && error == kSerial) {
        e.rcvd += 1 + r.Below(9);
        e.truth.verdict = "bad-exchange";
      }
      if (error == kUnlogged) e.truth.verdict = "nil";
      // A bust stays a bust when the worked station sent no log (the check
      // tells it by the contest's own figures); else such lines are below.
      if (!stations[other].sends_log && e.truth.verdict != "nil" && e.truth.verdict != "busted-call")
        e.truth.verdict = "";
      entries[static_cast<std::size_t>(me)].push_back(e);
      if (hit && error == kDupe) {
        Entry again = e;
        again.minute += 10 + r.Below(60);
        again.order = static_cast<int>(qsos.size() + n);
        again.truth.verdict = "dupe";
        again.truth.correct_call.clear();
        entries[static_cast<std::size_t>(me)].push_back(again);
      }
    }
  }

  // Lines whose station sent no log are unique or unverified, by how many
  // logs name the call.
  std::unordered_map<std::string, int> holders;
  for (std::size_t i = 0; i < stations.size(); ++i) {
    std::unordered_set<std::string> named;
    for (const Entry& e : entries[i]) named.insert(e.call);
    for (const std::string& call : named) ++holders[call];
  }

  SimContest contest;
  for (std::size_t i = 0; i < stations.size(); ++i) {
    const Station& st = stations[i];
    if (!st.sends_log) {
      contest.silent.push_back(st.call);
      continue;
    }
    std::vector<Entry>& mine = entries[i];
    std::stable_sort(mine.begin(), mine.end(), [](const Entry& x, const Entry& y) {
      return x.minute != y.minute ? x.minute < y.minute : x.order < y.order;
    });
    SimLog log;
    log.call = st.call;
    log.file_name = ReportName(st.call) + ".log";
    log.clock_offset = st.offset;
    log.clean = st.clean;
    log.text = "START-OF-LOG: 3.0\nCONTEST: VELMORA\nCALLSIGN: " + st.call +
               "\nCATEGORY-OPERATOR: SINGLE-OP\nCATEGORY-BAND: ALL\nCATEGORY-POWER: " +
               (i % 3 == 0 ? "LOW" : "HIGH") + "\nCREATED-BY: velmora contest simulator\n";
    int line = 7;
    for (Entry& e : mine) {
      log.text += StrFormat("QSO: %5d CW %s %-12s 599 %03d %-12s 599 %s\n",
                            kBandKhz[static_cast<std::size_t>(e.band)] + (e.order % 20),
                            TimeText(e.minute).c_str(), st.call.c_str(), e.sent, e.call.c_str(),
                            StrFormat(e.pad_rcvd ? "%03d" : "%d", e.rcvd).c_str());
      e.truth.line = ++line;
      if (e.truth.verdict.empty()) e.truth.verdict = holders[e.truth_call] > 1 ? "unverified" : "unique";
      log.truth.push_back(e.truth);
    }
    log.text += "END-OF-LOG:\n";
    contest.logs.push_back(std::move(log));
  }
  return contest;
}

}  // namespace velmora::testing
