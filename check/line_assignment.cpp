#include "check/line_assignment.h"

#include <algorithm>
#include <mutex>
#include <tuple>

#include "check/calls_alike.h"
#include "check/parallel_for.h"
#include "check/serial_in_call.h"

namespace velmora::check {

namespace {

struct Candidate {
  int disagreement;   // serials copied wrong, 0..2
  int dupes;          // lines of the two that are not the counted line, 0..2
  std::int64_t distance;
  std::int32_t log_a, qso_a, log_b, qso_b;
  bool bust = false;  // line a's call was copied wrong, line b is the true station's
  bool operator<(const Candidate& o) const {
    return std::tie(disagreement, dupes, distance, log_a, qso_a, log_b, qso_b) <
           std::tie(o.disagreement, o.dupes, o.distance, o.log_a, o.qso_a, o.log_b, o.qso_b);
  }
};

// Both serials copied wrong: a match on the call and the time alone.
constexpr int kNoSerialAgrees = 2;

Candidate Rank(const Contest& c, std::int32_t la, std::int32_t qa, std::int32_t lb, std::int32_t qb) {
  const CheckQso& a = c.logs[la].qsos[qa];
  const CheckQso& b = c.logs[lb].qsos[qb];
  return {(a.nr_rcvd != b.nr_sent) + (b.nr_rcvd != a.nr_sent), !a.counted + !b.counted,
          Abs(Corrected(c, la, a.minute) - Corrected(c, lb, b.minute)), la, qa, lb, qb};
}

// Takes the candidates best first, each where both lines are still free.
// Line a gets `a_link`, line b `b_link`; a bust among them gets the links of
// a bust.
void TakeBest(Contest& c, std::vector<Candidate>& candidates, Link a_link, Link b_link) {
  std::sort(candidates.begin(), candidates.end());
  for (const Candidate& k : candidates) {
    CheckQso& a = c.logs[k.log_a].qsos[k.qso_a];
    CheckQso& b = c.logs[k.log_b].qsos[k.qso_b];
    if (a.link != Link::kNone || b.link != Link::kNone) continue;
    a.link = k.bust ? Link::kBusted : a_link;
    a.partner_log = k.log_b;
    a.partner_qso = k.qso_b;
    b.link = k.bust ? Link::kBustOf : b_link;
    b.partner_log = k.log_a;
    b.partner_qso = k.qso_a;
  }
}

// A free line that takes part: (worked call, band, corrected minute).
struct Loose {
  std::uint32_t worked;
  std::uint8_t band;
  std::int64_t minute;
  std::int32_t log, qso;
};

class LooseLines {
 public:
  explicit LooseLines(const Contest& c) {
    for (std::size_t i = 0; i < c.logs.size(); ++i)
      for (std::size_t k = 0; k < c.logs[i].qsos.size(); ++k) {
        const CheckQso& q = c.logs[i].qsos[k];
        if (TakesPart(q) && q.link == Link::kNone)
          lines_.push_back({q.call, q.band, Corrected(c, i, q.minute), static_cast<std::int32_t>(i),
                            static_cast<std::int32_t>(k)});
      }
    std::sort(lines_.begin(), lines_.end(), [](const Loose& x, const Loose& y) {
      return std::tie(x.worked, x.band, x.minute, x.log, x.qso) <
             std::tie(y.worked, y.band, y.minute, y.log, y.qso);
    });
  }
  // The free lines of each log.
  std::vector<std::vector<const Loose*>> ByLog(std::size_t logs) const {
    std::vector<std::vector<const Loose*>> by_log(logs);
    for (const Loose& l : lines_) by_log[static_cast<std::size_t>(l.log)].push_back(&l);
    return by_log;
  }

  // The free lines naming `worked` on `band` within `window` of `minute`.
  std::span<const Loose> Near(std::uint32_t worked, std::uint8_t band, std::int64_t minute,
                              int window) const {
    using Key = std::tuple<std::uint32_t, std::uint8_t, std::int64_t>;
    auto less = [](const Loose& l, const Key& k) { return std::tie(l.worked, l.band, l.minute) < k; };
    auto first = std::lower_bound(lines_.begin(), lines_.end(), Key{worked, band, minute - window}, less);
    auto last = std::lower_bound(first, lines_.end(), Key{worked, band, minute + window + 1}, less);
    return {first, last};
  }

 private:
  std::vector<Loose> lines_;
};

// Candidates gathered by log, in parallel; `visit(a, out)` adds log a's.
template <typename Visit>
std::vector<Candidate> Gather(const Contest& c, int jobs, Visit visit) {
  std::vector<Candidate> all;
  std::mutex mutex;
  ParallelFor(c.logs.size(), jobs, [&](std::size_t a) {
    std::vector<Candidate> found;
    visit(a, found);
    std::lock_guard lock(mutex);
    all.insert(all.end(), found.begin(), found.end());
  });
  return all;
}

// Candidates between the free lines of two logs that name each other, each
// pair of logs gathered once, from the lower log: `visit(la, l, b, out)`
// for each free line l of log la naming the station of log b.
template <typename Visit>
std::vector<Candidate> GatherPairs(const Contest& c, const LooseLines& loose, int jobs, Visit visit) {
  const auto by_log = loose.ByLog(c.logs.size());
  return Gather(c, jobs, [&](std::size_t a, std::vector<Candidate>& out) {
    const auto la = static_cast<std::int32_t>(a);
    for (const Loose* l : by_log[a]) {
      const std::int32_t b = c.log_of_call[l->worked];
      if (b > la) visit(la, *l, b, out);
    }
  });
}

// Whether line qa of log la, logged as `written`, may be m's station's busted
// call: the calls alike, or two steps apart where both serials were copied as
// sent (SD9BXE for HB9BXE, each letter a dit short).
bool BustedAs(const Contest& c, std::int32_t la, std::int32_t qa, const Loose& m,
              const std::string& written) {
  const std::string& sent = c.logs[m.log].call;
  if (CallsAlike(sent, written)) return true;
  const CheckQso& a = c.logs[la].qsos[qa];
  const CheckQso& b = c.logs[m.log].qsos[m.qso];
  return a.nr_rcvd == b.nr_sent && b.nr_rcvd == a.nr_sent && CallDistance(sent, written) <= 2;
}

// A call with the serial typed after it: a bust of the call before the
// digits, when that call sent a log whose line with A shows the serial (as
// A copied it, or as the other station sent it).
void AddSerialInCall(const Contest& c, std::int32_t la, const Loose& l, const LooseLines& loose,
                     int window, std::vector<Candidate>& out) {
  const std::optional<SerialInCall> split = SplitSerialInCall(c.calls.Text(l.worked));
  if (!split) return;
  const std::optional<std::uint32_t> call = c.calls.Find(split->call);
  const std::int32_t target = call ? c.log_of_call[*call] : -1;
  if (target < 0 || target == la) return;
  const CheckQso& q = c.logs[la].qsos[l.qso];
  for (const Loose& m : loose.Near(c.logs[la].call_id, l.band, l.minute, window))
    if (m.log == target &&
        (q.nr_rcvd == split->serial || c.logs[m.log].qsos[m.qso].nr_sent == split->serial))
      out.push_back(Rank(c, la, l.qso, m.log, m.qso));
}

// Busts of line l of log la: lines of other logs naming la's station on the
// band within the window, of a call alike the one l logged.
void AddBusts(const Contest& c, std::int32_t la, const Loose& l, const LooseLines& loose, int window,
              std::vector<Candidate>& out) {
  if (l.worked == c.logs[la].call_id) return;  // the own call is no bust
  const std::int32_t b = c.log_of_call[l.worked];
  const std::string& written = c.calls.Text(l.worked);
  for (const Loose& m : loose.Near(c.logs[la].call_id, l.band, l.minute, window))
    if (m.log != la && m.log != b && BustedAs(c, la, l.qso, m, written)) {
      out.push_back(Rank(c, la, l.qso, m.log, m.qso));
      out.back().bust = true;
    }
}

// A match whose serials were both copied wrong rests on the call and the
// time alone; a bust of one of its lines whose serials were both copied as
// sent is the better explanation (A logged as B what C sent, with C's
// serial and C's copy of A's, while B's own line with A has other serials
// on both sides). Such busts are taken before those matches, which are then
// taken where their lines are still free.
void TakeWeakMatches(Contest& c, std::vector<Candidate>& weak, int window) {
  if (weak.empty()) return;
  const LooseLines loose(c);
  const auto by_log = loose.ByLog(c.logs.size());
  std::vector<Candidate> candidates;
  auto add_busts_of = [&](std::int32_t log, std::int32_t qso) {
    const CheckQso& q = c.logs[log].qsos[qso];
    const Loose w{q.call, q.band, Corrected(c, log, q.minute), log, qso};  // free: not yet tied
    AddBusts(c, log, w, loose, window, candidates);  // w logged a busted call
    const std::int32_t worked = c.log_of_call[w.worked];
    if (worked < 0) return;
    std::vector<Candidate> of_line;  // w explains the bust of a line of the worked log
    for (const Loose* l : by_log[static_cast<std::size_t>(worked)])
      if (l->band == w.band && Abs(l->minute - w.minute) <= window)
        AddBusts(c, worked, *l, loose, window, of_line);
    for (const Candidate& k : of_line)
      if (k.log_b == log && k.qso_b == qso) candidates.push_back(k);
  };
  for (const Candidate& k : weak) {
    add_busts_of(k.log_a, k.qso_a);
    add_busts_of(k.log_b, k.qso_b);
  }
  std::erase_if(candidates, [](const Candidate& k) { return k.disagreement != 0; });
  candidates.insert(candidates.end(), weak.begin(), weak.end());
  TakeBest(c, candidates, Link::kMatch, Link::kMatch);
}

}  // namespace

// Each pair of logs on a band is assigned by the task of the lower log; the
// pairs are independent of each other. Matches whose serials both disagree
// wait for the busts that explain their lines better.
void AssignMatches(Contest& c, const std::vector<Index>& indexes, const AssignOptions& o) {
  std::vector<std::vector<Candidate>> weak(c.logs.size());
  ParallelFor(c.logs.size(), o.jobs, [&](std::size_t a) {
    const Index& index = indexes[a];
    std::vector<Candidate> candidates;
    for (std::size_t i = 0; i < index.size();) {
      std::size_t j = i;
      while (j < index.size() && index[j].worked == index[i].worked && index[j].band == index[i].band) ++j;
      const std::int32_t b = c.log_of_call[index[i].worked];
      if (b >= 0 && static_cast<std::size_t>(b) > a) {
        candidates.clear();
        for (std::size_t k = i; k < j; ++k)
          for (const Entry& f : EntriesOf(indexes[b], c.logs[a].call_id, index[i].band))
            if (Abs(Corrected(c, a, index[k].minute) - Corrected(c, b, f.minute)) <= o.window_minutes)
              candidates.push_back(Rank(c, static_cast<std::int32_t>(a), index[k].qso, b, f.qso));
        auto weak_first = std::partition(candidates.begin(), candidates.end(), [](const Candidate& k) {
          return k.disagreement < kNoSerialAgrees;
        });
        weak[a].insert(weak[a].end(), weak_first, candidates.end());
        candidates.erase(weak_first, candidates.end());
        TakeBest(c, candidates, Link::kMatch, Link::kMatch);
      }
      i = j;
    }
  });
  std::vector<Candidate> all_weak;
  for (auto& of_log : weak) all_weak.insert(all_weak.end(), of_log.begin(), of_log.end());
  std::erase_if(all_weak, [&](const Candidate& k) {
    return c.logs[k.log_a].qsos[k.qso_a].link != Link::kNone ||
           c.logs[k.log_b].qsos[k.qso_b].link != Link::kNone;
  });
  TakeWeakMatches(c, all_weak, o.window_minutes);
}

void AssignWrongBands(Contest& c, const AssignOptions& o) {
  const LooseLines loose(c);
  std::vector<Candidate> candidates =
      GatherPairs(c, loose, o.jobs, [&](std::int32_t la, const Loose& l, std::int32_t b, auto& out) {
        for (std::uint8_t band = 0; band < 6; ++band)
          if (band != l.band)
            for (const Loose& m : loose.Near(c.logs[la].call_id, band, l.minute, o.window_minutes))
              if (m.log == b) out.push_back(Rank(c, la, l.qso, b, m.qso));
      });
  TakeBest(c, candidates, Link::kWrongBand, Link::kWrongBand);
}

void AssignBusts(Contest& c, const AssignOptions& o) {
  const LooseLines loose(c);
  const auto by_log = loose.ByLog(c.logs.size());
  std::vector<Candidate> candidates = Gather(c, o.jobs, [&](std::size_t a, std::vector<Candidate>& out) {
    const auto la = static_cast<std::int32_t>(a);
    for (const Loose* l : by_log[a]) {
      AddBusts(c, la, *l, loose, o.window_minutes, out);
      if (l->worked != c.logs[a].call_id) AddSerialInCall(c, la, *l, loose, o.window_minutes, out);
    }
  });
  TakeBest(c, candidates, Link::kBusted, Link::kBustOf);
}

// Lines beyond the window whose serials tell they are one QSO: a serial is
// given once, so a line of B that copied the serial A's line sent (or sent
// the serial A's line copied) is that QSO, whatever the clocks say, within
// the wider window. Taken last, over the lines every tier before left free.
void AssignSerialMatches(Contest& c, const AssignOptions& o) {
  if (o.serial_window_minutes <= o.window_minutes) return;
  const LooseLines loose(c);
  std::vector<Candidate> candidates =
      GatherPairs(c, loose, o.jobs, [&](std::int32_t la, const Loose& l, std::int32_t b, auto& out) {
        for (const Loose& m : loose.Near(c.logs[la].call_id, l.band, l.minute, o.serial_window_minutes))
          if (m.log == b) {
            const Candidate k = Rank(c, la, l.qso, b, m.qso);
            if (k.disagreement < kNoSerialAgrees) out.push_back(k);
          }
      });
  TakeBest(c, candidates, Link::kMatch, Link::kMatch);
}

}  // namespace velmora::check
