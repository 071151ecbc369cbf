#include "check/matching.h"

#include <algorithm>
#include <mutex>
#include <span>
#include <tuple>

#include "check/calls_alike.h"
#include "check/parallel_for.h"

namespace velmora::check {

namespace {

// The largest clock offset looked for: a PC clock on local time.
constexpr std::int64_t kLargestOffset = 15 * 60;
constexpr int kOffsetRounds = 4;  // at most; the rounds end when no offset changes

// One QSO line that takes part in the matching, in its log's index.
struct Entry {
  std::uint32_t worked;
  std::uint8_t band;
  std::int64_t minute;  // as logged
  std::int32_t qso;
};

bool EntryLess(const Entry& a, const Entry& b) {
  return std::tie(a.worked, a.band, a.minute, a.qso) < std::tie(b.worked, b.band, b.minute, b.qso);
}

using Index = std::vector<Entry>;

// The entries of `index` with this worked call and band.
std::span<const Entry> Run(const Index& index, std::uint32_t worked, std::uint8_t band) {
  auto less = [](const Entry& e, std::pair<std::uint32_t, std::uint8_t> key) {
    return std::tie(e.worked, e.band) < std::tie(key.first, key.second);
  };
  auto first = std::lower_bound(index.begin(), index.end(), std::pair{worked, band}, less);
  auto last = first;
  while (last != index.end() && last->worked == worked && last->band == band) ++last;
  return {first, last};
}

bool TakesPart(const CheckQso& q) {
  return q.stored != Stored::kRejected && q.band != kNoBand && !q.outside;
}

std::int64_t Abs(std::int64_t v) { return v < 0 ? -v : v; }

class Judge {
 public:
  Judge(Contest& contest, const MatchOptions& options) : c_(contest), o_(options) {}

  void Run() {
    MapCalls();
    BuildIndexes();
    if (o_.clock_offsets) FindOffsets();
    MarkOutside();
    BuildIndexes();
    ParallelFor(c_.logs.size(), o_.jobs, [&](std::size_t a) { MatchLog(a); });
    JudgeUnmatched();
  }

 private:
  Entrant& Log(std::size_t i) { return c_.logs[i]; }
  std::int64_t Corrected(std::size_t log, std::int64_t minute) const {
    return minute - c_.logs[log].offset_minutes;
  }

  void MapCalls() {
    c_.log_of_call.assign(c_.calls.size(), -1);
    c_.holders.assign(c_.calls.size(), 0);
    for (std::size_t i = 0; i < c_.logs.size(); ++i)
      c_.log_of_call[c_.logs[i].call_id] = static_cast<std::int32_t>(i);
    for (const Entrant& log : c_.logs) {
      std::vector<std::uint32_t> calls;
      for (const CheckQso& q : log.qsos)
        if (q.stored != Stored::kRejected && q.call != kNoId) calls.push_back(q.call);
      std::sort(calls.begin(), calls.end());
      calls.erase(std::unique(calls.begin(), calls.end()), calls.end());
      for (std::uint32_t call : calls) ++c_.holders[call];
    }
  }

  void BuildIndexes() {
    indexes_.assign(c_.logs.size(), {});
    ParallelFor(c_.logs.size(), o_.jobs, [&](std::size_t i) {
      const Entrant& log = c_.logs[i];
      Index& index = indexes_[i];
      for (std::size_t k = 0; k < log.qsos.size(); ++k) {
        const CheckQso& q = log.qsos[k];
        if (TakesPart(q)) index.push_back({q.call, q.band, q.minute, static_cast<std::int32_t>(k)});
      }
      std::sort(index.begin(), index.end(), EntryLess);
    });
  }

  // Jacobi rounds: each log's offset from its partners' offsets of the round
  // before, so a log off by hours moves its partners' medians by one QSO each.
  void FindOffsets() {
    std::vector<int> next(c_.logs.size(), 0);
    for (int round = 0; round < kOffsetRounds; ++round) {
      ParallelFor(c_.logs.size(), o_.jobs, [&](std::size_t a) {
        std::vector<std::int64_t> differences;
        for (const Entry& e : indexes_[a]) {
          std::int32_t b = c_.log_of_call[e.worked];
          if (b < 0 || static_cast<std::size_t>(b) == a) continue;
          std::int64_t best = kLargestOffset + 1;
          for (const Entry& f : velmora::check::Run(indexes_[b], Log(a).call_id, e.band)) {
            std::int64_t d = e.minute - Corrected(b, f.minute);
            if (Abs(d) < Abs(best)) best = d;
          }
          if (Abs(best) <= kLargestOffset) differences.push_back(best);
        }
        Log(a).offset_pairs = static_cast<int>(differences.size());
        next[a] = OffsetFromDifferences(differences);
      });
      bool changed = false;
      for (std::size_t a = 0; a < c_.logs.size(); ++a) {
        changed = changed || Log(a).offset_minutes != next[a];
        Log(a).offset_minutes = next[a];
      }
      if (!changed) break;  // a round more would give the same
    }
  }

  void MarkOutside() {
    std::int64_t first = 0, last = 0;
    bool any = false;
    for (std::size_t i = 0; i < c_.logs.size(); ++i)
      for (const CheckQso& q : c_.logs[i].qsos)
        if (TakesPart(q)) {
          first = any ? std::min(first, q.minute) : q.minute;
          last = any ? std::max(last, q.minute) : q.minute;
          any = true;
        }
    const std::int64_t start = o_.start.value_or(first), end = o_.end.value_or(last);
    for (std::size_t i = 0; i < c_.logs.size(); ++i)
      for (CheckQso& q : c_.logs[i].qsos) {
        if (!TakesPart(q)) continue;
        std::int64_t t = Corrected(i, q.minute);
        if (t < start || t > end) {
          q.outside = true;
          q.verdict = Verdict::kOutside;
        }
      }
  }

  // A matched QSO is judged on the serial it copied.
  static void JudgeCopy(CheckQso& own, const CheckQso& other) {
    if (own.stored == Stored::kCounted)
      own.verdict = own.nr_rcvd == other.nr_sent ? Verdict::kOk : Verdict::kBadExchange;
  }

  void Pair(std::size_t a, std::int32_t ai, std::size_t b, std::int32_t bi) {
    CheckQso& qa = Log(a).qsos[ai];
    CheckQso& qb = Log(b).qsos[bi];
    qa.partner_log = static_cast<std::int32_t>(b);
    qa.partner_qso = bi;
    qb.partner_log = static_cast<std::int32_t>(a);
    qb.partner_qso = ai;
    JudgeCopy(qa, qb);
    JudgeCopy(qb, qa);
  }

  // Each pair of logs is matched by the task of the lower one; within a call,
  // band and pair the closest times match first.
  void MatchLog(std::size_t a) {
    const Index& index = indexes_[a];
    std::vector<std::tuple<std::int64_t, std::int32_t, std::int32_t>> candidates;
    for (std::size_t i = 0; i < index.size();) {
      std::size_t j = i;
      while (j < index.size() && index[j].worked == index[i].worked && index[j].band == index[i].band)
        ++j;
      std::int32_t b = c_.log_of_call[index[i].worked];
      if (b >= 0 && static_cast<std::size_t>(b) > a) {
        candidates.clear();
        for (std::size_t k = i; k < j; ++k)
          for (const Entry& f : velmora::check::Run(indexes_[b], Log(a).call_id, index[i].band)) {
            std::int64_t d = Abs(Corrected(a, index[k].minute) - Corrected(b, f.minute));
            if (d <= o_.window_minutes) candidates.emplace_back(d, index[k].qso, f.qso);
          }
        std::sort(candidates.begin(), candidates.end());
        for (const auto& [d, ai, bi] : candidates)
          if (Log(a).qsos[ai].partner_log < 0 && Log(b).qsos[bi].partner_log < 0)
            Pair(a, ai, b, bi);
      }
      i = j;
    }
  }

  struct Loose {
    std::uint32_t worked;
    std::uint8_t band;
    std::int64_t minute;  // corrected
    std::int32_t log, qso;
  };

  struct Bust {
    std::int64_t distance;
    std::int32_t log, qso, other_log, other_qso;
    bool operator<(const Bust& o) const {
      return std::tie(distance, log, qso, other_log, other_qso) <
             std::tie(o.distance, o.log, o.qso, o.other_log, o.other_qso);
    }
  };

  // The unmatched QSOs of every log that logged `worked`, on `band`, within
  // the window around `minute`.
  std::span<const Loose> LooseNear(std::uint32_t worked, std::uint8_t band, std::int64_t minute) {
    auto key_less = [](const Loose& l, const std::tuple<std::uint32_t, std::uint8_t, std::int64_t>& k) {
      return std::tie(l.worked, l.band, l.minute) < k;
    };
    auto first = std::lower_bound(loose_.begin(), loose_.end(),
                                  std::tuple{worked, band, minute - o_.window_minutes}, key_less);
    auto last = std::lower_bound(first, loose_.end(),
                                 std::tuple{worked, band, minute + o_.window_minutes + 1}, key_less);
    return {first, last};
  }

  // Wrong bands and bust candidates of one log's unmatched QSOs.
  void LookAround(std::size_t a, std::vector<Bust>& busts) {
    Entrant& log = Log(a);
    for (std::size_t k = 0; k < log.qsos.size(); ++k) {
      CheckQso& q = log.qsos[k];
      if (!TakesPart(q) || q.partner_log >= 0 || q.stored != Stored::kCounted) continue;
      const std::int64_t t = Corrected(a, q.minute);
      const std::int32_t b = c_.log_of_call[q.call];
      if (b >= 0 && static_cast<std::size_t>(b) != a) {
        std::int64_t best = o_.window_minutes + 1;
        for (std::uint8_t band = 0; band < 6; ++band) {
          if (band == q.band) continue;
          for (const Loose& l : LooseNear(log.call_id, band, t))
            if (l.log == b && Abs(l.minute - t) < best) {
              best = Abs(l.minute - t);
              q.verdict = Verdict::kWrongBand;
              q.partner_band = band;
              q.partner_log = b;
              q.partner_qso = l.qso;
            }
        }
        if (q.verdict == Verdict::kWrongBand) continue;
      }
      const std::string& written = c_.calls.Text(q.call);
      for (const Loose& l : LooseNear(log.call_id, q.band, t)) {
        if (l.log == static_cast<std::int32_t>(a) || l.log == b) continue;
        if (CallsAlike(c_.logs[l.log].call, written))
          busts.push_back({Abs(l.minute - t), static_cast<std::int32_t>(a),
                           static_cast<std::int32_t>(k), l.log, l.qso});
      }
    }
  }

  void JudgeUnmatched() {
    loose_.clear();
    for (std::size_t i = 0; i < c_.logs.size(); ++i)
      for (std::size_t k = 0; k < c_.logs[i].qsos.size(); ++k) {
        const CheckQso& q = c_.logs[i].qsos[k];
        if (TakesPart(q) && q.partner_log < 0)
          loose_.push_back({q.call, q.band, Corrected(i, q.minute), static_cast<std::int32_t>(i),
                            static_cast<std::int32_t>(k)});
      }
    std::sort(loose_.begin(), loose_.end(), [](const Loose& x, const Loose& y) {
      return std::tie(x.worked, x.band, x.minute, x.log, x.qso) <
             std::tie(y.worked, y.band, y.minute, y.log, y.qso);
    });
    std::vector<Bust> busts;
    std::mutex busts_mutex;
    ParallelFor(c_.logs.size(), o_.jobs, [&](std::size_t a) {
      std::vector<Bust> found;
      LookAround(a, found);
      std::lock_guard lock(busts_mutex);
      busts.insert(busts.end(), found.begin(), found.end());
    });
    // The closest in time first; each QSO explains one bust at most, and a
    // QSO named as on the wrong band explains none.
    std::sort(busts.begin(), busts.end());
    for (const Bust& bust : busts) {
      CheckQso& q = Log(bust.log).qsos[bust.qso];
      CheckQso& other = Log(bust.other_log).qsos[bust.other_qso];
      if (q.partner_log >= 0 || other.partner_log >= 0) continue;
      q.verdict = Verdict::kBustedCall;
      q.correct_call = Log(bust.other_log).call_id;
      q.partner_log = bust.other_log;
      q.partner_qso = bust.other_qso;
      other.partner_log = bust.log;
      other.partner_qso = bust.qso;
      JudgeCopy(other, q);
    }
    for (std::size_t i = 0; i < c_.logs.size(); ++i)
      for (CheckQso& q : c_.logs[i].qsos) {
        if (!TakesPart(q) || q.partner_log >= 0 || q.stored != Stored::kCounted) continue;
        const std::int32_t b = c_.log_of_call[q.call];
        if (b >= 0 && static_cast<std::size_t>(b) != i) q.verdict = Verdict::kNil;
        else q.verdict = c_.holders[q.call] > 1 ? Verdict::kUnverified : Verdict::kUnique;
      }
  }

  Contest& c_;
  const MatchOptions& o_;
  std::vector<Index> indexes_;
  std::vector<Loose> loose_;
};

}  // namespace

int OffsetFromDifferences(std::vector<std::int64_t>& differences) {
  if (differences.size() < 3) return 0;
  auto middle = differences.begin() + static_cast<std::ptrdiff_t>(differences.size() / 2);
  std::nth_element(differences.begin(), middle, differences.end());
  const std::int64_t median = *middle;
  return Abs(median) < 2 ? 0 : static_cast<int>(median);
}

void JudgeContest(Contest& contest, const MatchOptions& options) {
  Judge(contest, options).Run();
}

}  // namespace velmora::check
