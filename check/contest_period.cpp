#include "check/contest_period.h"

#include <algorithm>

#include "check/contest_index.h"

namespace velmora::check {

namespace {

bool IsStored(const CheckQso& q) { return q.stored != Stored::kRejected && q.band != kNoBand; }

void Unlink(CheckQso& q) {
  q.partner_log = q.partner_qso = -1;
  q.link = Link::kNone;
}

}  // namespace

void MarkPeriod(Contest& c, std::optional<std::int64_t> start, std::optional<std::int64_t> end) {
  std::optional<std::int64_t> first, last;
  for (std::size_t i = 0; i < c.logs.size(); ++i)
    for (const CheckQso& q : c.logs[i].qsos)
      if (IsStored(q)) {
        const std::int64_t t = Corrected(c, i, q.minute);
        first = std::min(first.value_or(t), t);
        last = std::max(last.value_or(t), t);
      }
  const std::int64_t from = start.value_or(first.value_or(0)), to = end.value_or(last.value_or(0));
  for (std::size_t i = 0; i < c.logs.size(); ++i)
    for (CheckQso& q : c.logs[i].qsos) {
      if (!IsStored(q)) continue;
      const std::int64_t t = Corrected(c, i, q.minute);
      if (t >= from && t <= to) q.period = Period::kInside;
      else if (t >= from - kPeriodEdgeMinutes && t <= to + kPeriodEdgeMinutes) q.period = Period::kEdge;
      else q.period = Period::kOutside;
    }
}

void SettleEdges(Contest& c) {
  for (Entrant& log : c.logs)
    for (CheckQso& q : log.qsos) {
      if (q.period != Period::kEdge) continue;
      CheckQso* p = q.partner_log >= 0 ? &c.logs[q.partner_log].qsos[q.partner_qso] : nullptr;
      if (p && p->period == Period::kInside) {
        q.period = Period::kInside;
        continue;
      }
      q.period = Period::kOutside;
      if (p) {  // at an edge too: neither was inside
        p->period = Period::kOutside;
        Unlink(*p);
        Unlink(q);
      }
    }
}

}  // namespace velmora::check
