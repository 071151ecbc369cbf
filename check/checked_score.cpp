#include "check/checked_score.h"

#include "check/parallel_for.h"
#include "check/plugin_tally.h"
#include "engine/contest_rules.h"

namespace velmora::check {

bool CountsChecked(Verdict verdict, const ScoreOptions& options) {
  return verdict == Verdict::kOk || verdict == Verdict::kUnverified ||
         (verdict == Verdict::kUnique && options.keep_uniques);
}

namespace {

void ScoreEntrant(const Contest& contest, Entrant& log, const ScoreOptions& options) {
  PluginTally tally(log.own_prefix, log.own_continent);
  long long penalty = 0;
  for (const CheckQso& q : log.qsos) {
    if (q.verdict == Verdict::kNil || q.verdict == Verdict::kBustedCall)
      penalty += static_cast<long long>(options.penalty) * q.points;
    if (!CountsChecked(q.verdict, options) || q.band == kNoBand || q.call == kNoId) continue;
    QsoArgs args;
    args.call = contest.calls.Text(q.call);
    args.time = COleDateTime(q.days, COleDateTime::kValid);
    args.mode = q.mode < log.modes.size() ? log.modes[q.mode] : "CW";
    args.nr_sent = args.nr_rcvd = "1";  // present: the serials were checked already
    args.prefix = contest.texts.Text(q.prefix);
    args.continent = contest.texts.Text(q.continent);
    args.band = ContestBands().Items()[q.band];
    int points = 0;
    tally.Add(args, points);
  }
  ScoreFigures f = tally.Figures();
  f.points = f.points > penalty ? f.points - penalty : 0;
  f.score = f.points * f.mults;
  log.checked = f;
}

}  // namespace

void ScoreChecked(Contest& contest, const ScoreOptions& options) {
  ParallelFor(contest.logs.size(), options.jobs,
              [&](std::size_t i) { ScoreEntrant(contest, contest.logs[i], options); });
}

}  // namespace velmora::check
