#include "check/inferred_busts.h"

#include <algorithm>
#include <mutex>

#include "check/call_serials.h"
#include "check/calls_alike.h"
#include "check/contest_index.h"
#include "check/parallel_for.h"
#include "check/serial_in_call.h"

namespace velmora::check {

namespace {

struct Inferred {
  std::size_t log, qso;
  std::uint32_t call;  // kNoId: a known call no log holds, `text`
  BustEvidence evidence;
  std::string text;
};

// The calls a bust may be of: those many logs hold, and the known ones.
std::vector<std::uint32_t> CommonCalls(const Contest& c, const KnownCalls& known,
                                       const InferOptions& o) {
  std::vector<std::uint32_t> calls;
  for (std::uint32_t id = 0; id < c.calls.size(); ++id)
    if (c.holders[id] >= o.common_holders || known.contains(c.calls.Text(id))) calls.push_back(id);
  return calls;
}

BustEvidence EvidenceOf(const SerialPoint& p) { return {p.minute, p.serial, true}; }

// The one call alike to line q's whose serials fit it best, if one does.
std::optional<Inferred> BestAlike(const Contest& c, const CallSerials& serials,
                                  const std::vector<std::uint32_t>& common, const KnownCalls& known,
                                  std::size_t log, std::size_t k, const InferOptions& o) {
  const CheckQso& q = c.logs[log].qsos[k];
  const std::int64_t minute = Corrected(c, log, q.minute);
  const std::string& written = c.calls.Text(q.call);
  std::optional<Inferred> best;
  std::optional<SerialFit> best_fit;
  bool tie = false;
  for (std::uint32_t call : common) {
    if (call == q.call || call == c.logs[log].call_id || !CallsAlike(c.calls.Text(call), written))
      continue;
    // Never a call fewer logs hold than the busted one, whatever the thresholds.
    if (c.holders[call] <= c.holders[q.call] && !known.contains(c.calls.Text(call))) continue;
    const std::optional<SerialFit> fit = serials.Fit(call, minute, q.nr_rcvd, o.serial_window);
    if (!fit || fit->distance > o.serial_tolerance) continue;
    const auto rank = [](const SerialFit& f) { return std::pair{f.distance, f.gap}; };
    if (best_fit && rank(*fit) == rank(*best_fit)) tie = true;
    if (!best_fit || rank(*fit) < rank(*best_fit)) {
      best_fit = fit;
      best = Inferred{log, k, call, EvidenceOf(fit->nearest), {}};
      tie = false;
    }
  }
  if (tie) return std::nullopt;
  return best;
}

// A known call, or a call many logs hold whose serial then fits, followed
// by the serial received ("OK1FGD063" copying 63), where no line of that
// call's log told it.
std::optional<Inferred> CallWithSerial(const Contest& c, const CallSerials& serials,
                                       const KnownCalls& known, std::size_t log, std::size_t k,
                                       const InferOptions& o) {
  const CheckQso& q = c.logs[log].qsos[k];
  const std::optional<SerialInCall> split = SplitSerialInCall(c.calls.Text(q.call));
  if (!split || split->serial != q.nr_rcvd) return std::nullopt;
  const bool is_known = known.contains(std::string(split->call));
  const std::optional<std::uint32_t> call = c.calls.Find(split->call);
  if (call && *call == c.logs[log].call_id) return std::nullopt;
  if (!is_known && (!call || c.holders[*call] < o.common_holders)) return std::nullopt;
  Inferred found{log, k, call.value_or(kNoId), {}, std::string(split->call)};
  std::optional<SerialFit> fit;
  if (call) fit = serials.Fit(*call, Corrected(c, log, q.minute), q.nr_rcvd, o.serial_window);
  if (!is_known && (!fit || fit->distance > o.serial_tolerance)) return std::nullopt;
  if (fit) found.evidence = EvidenceOf(fit->nearest);
  return found;
}

// The id of a call no line holds, added to the contest's calls.
std::uint32_t AddCall(Contest& c, const std::string& text) {
  const std::uint32_t id = c.calls.Intern(text);
  c.log_of_call.resize(c.calls.size(), -1);
  c.holders.resize(c.calls.size(), 0);
  return id;
}

bool Untied(const Contest& c, std::size_t log, const CheckQso& q) {
  return TakesPart(q) && q.period == Period::kInside && q.counted && q.link == Link::kNone &&
         q.call != kNoId && q.call != c.logs[log].call_id;
}

}  // namespace

void InferBusts(Contest& c, const KnownCalls& known, const InferOptions& o) {
  const CallSerials serials(c);
  const std::vector<std::uint32_t> common = CommonCalls(c, known, o);
  std::vector<Inferred> found;
  std::mutex mutex;
  ParallelFor(c.logs.size(), o.jobs, [&](std::size_t log) {
    std::vector<Inferred> mine;
    for (std::size_t k = 0; k < c.logs[log].qsos.size(); ++k) {
      const CheckQso& q = c.logs[log].qsos[k];
      if (!Untied(c, log, q)) continue;
      std::optional<Inferred> bust = CallWithSerial(c, serials, known, log, k, o);
      if (!bust && c.holders[q.call] <= o.rare_holders && !known.contains(c.calls.Text(q.call)))
        bust = BestAlike(c, serials, common, known, log, k, o);
      if (bust) mine.push_back(*bust);
    }
    std::lock_guard lock(mutex);
    found.insert(found.end(), mine.begin(), mine.end());
  });
  for (const Inferred& f : found) {
    CheckQso& q = c.logs[f.log].qsos[f.qso];
    q.link = Link::kInferred;
    q.correct_call = f.call != kNoId ? f.call : AddCall(c, f.text);
    c.evidence[EvidenceKey(f.log, f.qso)] = f.evidence;
  }
}

}  // namespace velmora::check
