// The whole log check over a few small logs and the organisers' rulings: the
// input is split at lines "=====" into up to four logs and, where a part
// starts with "#rulings", the rulings. No crash, every QSO line judged once,
// every ok line tied to a partner that is tied back, every output rendered
// after the rulings.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <string_view>

#include "check/check_test_contest.h"
#include "check/entrant_report.h"
#include "check/results_output.h"
#include "check/rulings.h"
#include "check/standings.h"

namespace {

using namespace velmora::check;

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  static const CountryFile cty = CountryFile::Parse(kTestCty, "cty.dat");
  Contest contest;
  std::mutex mutex;
  Intake intake(cty, contest, mutex);
  std::string_view rulings_text;
  for (int n = 0; n < 5 && !input.empty(); ++n) {
    std::size_t cut = input.find("\n=====\n");
    std::string_view text = input.substr(0, cut);
    input = cut == std::string_view::npos ? std::string_view() : input.substr(cut + 7);
    if (text.rfind("#rulings", 0) == 0) {
      rulings_text = text;
      continue;
    }
    std::vector<std::string> problems;
    if (auto entrant = intake.Read(text, "log" + std::to_string(n) + ".log", problems)) {
      bool taken = false;
      for (const Entrant& e : contest.logs) taken = taken || e.call == entrant->call;
      if (!taken) contest.logs.push_back(std::move(*entrant));
    }
  }
  MatchOptions match;
  match.window_minutes = size % 7;
  match.infer.common_holders = 1 + static_cast<std::uint32_t>(size % 3);  // few logs here
  JudgeContest(contest, match);
  ScoreOptions score;
  score.penalty = static_cast<int>(size % 3);
  ScoreChecked(contest, score);
  for (std::size_t i = 0; i < contest.logs.size(); ++i)
    for (std::size_t k = 0; k < contest.logs[i].qsos.size(); ++k) {
      const CheckQso& q = contest.logs[i].qsos[k];
      Require(static_cast<int>(q.verdict) < kVerdictCount);
      // A bust told by the contest's own figures names its call, not a line.
      const bool inferred = q.link == Link::kInferred;
      if (q.verdict == Verdict::kOk || q.verdict == Verdict::kBadExchange ||
          q.verdict == Verdict::kWrongBand || (q.verdict == Verdict::kBustedCall && !inferred))
        Require(q.partner_log >= 0);
      if (inferred)
        Require(q.verdict == Verdict::kBustedCall && q.partner_log < 0 &&
                q.correct_call < contest.calls.size() && q.correct_call != q.call);
      if (q.partner_log >= 0) {
        const CheckQso& p = contest.logs[q.partner_log].qsos[q.partner_qso];
        Require(p.partner_log == static_cast<std::int32_t>(i) &&
                p.partner_qso == static_cast<std::int32_t>(k));
      }
    }
  if (!rulings_text.empty()) {
    try {
      ApplyRulings(contest, ParseRulings(rulings_text, "rulings.csv"), "rulings.csv");
    } catch (const std::invalid_argument&) {
    }
    ScoreChecked(contest, score);
  }
  const std::vector<Standing> standings = RankEntrants(contest);
  const LoggedBy by = QsosLoggedBy(contest);
  ResultsCsv(contest, standings);
  ResultsHtml(contest, standings);
  for (std::size_t i = 0; i < contest.logs.size(); ++i) {
    const std::string rows = QsosCsvRows(contest, i);
    std::size_t count = 0;
    for (char c : rows) count += c == '\n';
    Require(count == contest.logs[i].qsos.size());
    ReportText(contest, i, by[i]);
    ReportJson(contest, i, by[i]);
  }
  return 0;
}
