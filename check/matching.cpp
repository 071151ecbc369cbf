#include "check/matching.h"

#include <algorithm>

#include "check/clock_offsets.h"
#include "check/contest_index.h"
#include "check/contest_period.h"
#include "check/dupe_rule.h"
#include "check/line_assignment.h"

namespace velmora::check {

void MapCalls(Contest& c) {
  c.log_of_call.assign(c.calls.size(), -1);
  c.holders.assign(c.calls.size(), 0);
  for (std::size_t i = 0; i < c.logs.size(); ++i)
    c.log_of_call[c.logs[i].call_id] = static_cast<std::int32_t>(i);
  std::vector<std::uint32_t> calls;
  for (const Entrant& log : c.logs) {
    calls.clear();
    for (const CheckQso& q : log.qsos)
      if (q.stored != Stored::kRejected && q.call != kNoId) calls.push_back(q.call);
    std::sort(calls.begin(), calls.end());
    calls.erase(std::unique(calls.begin(), calls.end()), calls.end());
    for (std::uint32_t call : calls) ++c.holders[call];
  }
}

namespace {

// A line tied to the same QSO is judged on the serial it copied.
Verdict CopyVerdict(const CheckQso& own, const CheckQso& other) {
  return own.nr_rcvd == other.nr_sent ? Verdict::kOk : Verdict::kBadExchange;
}

Verdict VerdictOf(const Contest& c, std::size_t log, CheckQso& q) {
  if (q.stored == Stored::kRejected || q.band == kNoBand) return Verdict::kRejected;
  if (q.call == c.logs[log].call_id) return Verdict::kOwnCall;
  if (q.period == Period::kOutside) return Verdict::kOutside;
  if (!q.counted) return Verdict::kDupe;
  const CheckQso* p = q.partner_log >= 0 ? &c.logs[q.partner_log].qsos[q.partner_qso] : nullptr;
  switch (q.link) {
    case Link::kMatch:
    case Link::kBustOf: return CopyVerdict(q, *p);
    case Link::kWrongBand: q.partner_band = p->band; return Verdict::kWrongBand;
    case Link::kBusted: q.correct_call = c.logs[q.partner_log].call_id; return Verdict::kBustedCall;
    case Link::kInferred: return Verdict::kBustedCall;  // correct_call set when inferred
    case Link::kNone: break;
  }
  const std::int32_t b = c.log_of_call[q.call];
  if (b >= 0 && static_cast<std::size_t>(b) != log) return Verdict::kNil;
  return c.holders[q.call] > 1 ? Verdict::kUnverified : Verdict::kUnique;
}

}  // namespace

void GiveVerdicts(Contest& c) {
  for (std::size_t i = 0; i < c.logs.size(); ++i)
    for (CheckQso& q : c.logs[i].qsos) q.verdict = VerdictOf(c, i, q);
}

void JudgeContest(Contest& c, const MatchOptions& o) {
  MapCalls(c);
  if (o.clock_offsets) FindClockOffsets(c, BuildIndexes(c, o.jobs), o.jobs);
  MarkPeriod(c, o.start, o.end);
  const std::vector<Index> indexes = BuildIndexes(c, o.jobs);  // the lines in the period
  MarkFirstLines(c, indexes, o.jobs);
  const AssignOptions assign{o.window_minutes, o.serial_window_minutes, o.jobs};
  AssignMatches(c, indexes, assign);
  AssignWrongBands(c, assign);
  AssignBusts(c, assign);
  AssignSerialMatches(c, assign);
  SettleEdges(c);
  SettleDupes(c, indexes, o.jobs);
  InferOptions infer = o.infer;
  infer.jobs = o.jobs;
  InferBusts(c, o.known, infer);
  GiveVerdicts(c);
}

}  // namespace velmora::check
