// The whole log check over a few small logs: the input is split into logs at
// lines "=====". No crash, every QSO line judged once, matches symmetric,
// every output rendered.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <string_view>

#include "check/check_test_contest.h"
#include "check/entrant_report.h"
#include "check/results_output.h"
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
  for (int n = 0; n < 4 && !input.empty(); ++n) {
    std::size_t cut = input.find("\n=====\n");
    std::string_view text = input.substr(0, cut);
    input = cut == std::string_view::npos ? std::string_view() : input.substr(cut + 7);
    std::vector<std::string> problems;
    if (auto entrant = intake.Read(text, "log" + std::to_string(n) + ".log", problems)) {
      bool taken = false;
      for (const Entrant& e : contest.logs) taken = taken || e.call == entrant->call;
      if (!taken) contest.logs.push_back(std::move(*entrant));
    }
  }
  MatchOptions match;
  match.window_minutes = size % 7;
  JudgeContest(contest, match);
  ScoreOptions score;
  score.penalty = static_cast<int>(size % 3);
  ScoreChecked(contest, score);
  for (std::size_t i = 0; i < contest.logs.size(); ++i)
    for (std::size_t k = 0; k < contest.logs[i].qsos.size(); ++k) {
      const CheckQso& q = contest.logs[i].qsos[k];
      Require(static_cast<int>(q.verdict) < kVerdictCount);
      if (q.verdict == Verdict::kOk || q.verdict == Verdict::kBadExchange) {
        if (q.partner_log < 0) Require(q.verdict == Verdict::kOk);  // unique or unverified are not ok
        else {
          const CheckQso& p = contest.logs[q.partner_log].qsos[q.partner_qso];
          Require(p.partner_log == static_cast<std::int32_t>(i) &&
                  p.partner_qso == static_cast<std::int32_t>(k));
        }
      }
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
