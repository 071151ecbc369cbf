#include "check/standings.h"

#include <algorithm>
#include <tuple>

#include "engine/contest_rules.h"
#include "engine/ole_date_time.h"
#include "engine/text_format.h"

namespace velmora::check {

std::vector<Standing> RankEntrants(const Contest& contest) {
  std::vector<Standing> standings(contest.logs.size());
  for (std::size_t i = 0; i < contest.logs.size(); ++i) {
    Standing& s = standings[i];
    s.log = i;
    for (const CheckQso& q : contest.logs[i].qsos) {
      s.nil += q.verdict == Verdict::kNil;
      s.busted += q.verdict == Verdict::kBustedCall;
      s.bad_exchange += q.verdict == Verdict::kBadExchange;
      s.unique += q.verdict == Verdict::kUnique;
      s.counted += q.stored == Stored::kCounted;
    }
  }
  auto key = [&](const Standing& s) {
    const Entrant& e = contest.logs[s.log];
    return std::tuple<const std::string&, long long, const std::string&>(e.category, -e.checked.score, e.call);
  };
  std::sort(standings.begin(), standings.end(),
            [&](const Standing& a, const Standing& b) { return key(a) < key(b); });
  for (std::size_t i = 0; i < standings.size(); ++i) {
    bool same = i > 0 && contest.logs[standings[i - 1].log].category ==
                             contest.logs[standings[i].log].category;
    standings[i].rank = same ? standings[i - 1].rank + 1 : 1;
  }
  return standings;
}

LoggedBy QsosLoggedBy(const Contest& contest) {
  LoggedBy by(contest.logs.size());
  for (std::size_t x = 0; x < contest.logs.size(); ++x) {
    const std::vector<CheckQso>& qsos = contest.logs[x].qsos;
    for (std::size_t k = 0; k < qsos.size(); ++k) {
      const std::uint32_t call = qsos[k].call;
      if (call == kNoId || call >= contest.log_of_call.size()) continue;
      std::int32_t e = contest.log_of_call[call];
      if (e >= 0 && static_cast<std::size_t>(e) != x)
        by[e].emplace_back(static_cast<std::int32_t>(x), static_cast<std::int32_t>(k));
    }
  }
  return by;
}

std::string ReportName(const std::string& call) {
  std::string name = call;
  for (char& c : name)
    if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-')) c = '_';
  return name;
}

std::string ReductionPercent(long long claimed, long long checked) {
  if (claimed <= 0) return "0.0";
  // Tenths of a percent, rounded, in integers: no overflow for any score.
  const long double tenths =
      static_cast<long double>(claimed - checked) * 1000.0L / static_cast<long double>(claimed);
  const long long t = static_cast<long long>(tenths + (tenths < 0 ? -0.5L : 0.5L));
  const long long whole = t / 10, part = (t < 0 ? -t : t) % 10;
  return (t < 0 && whole == 0 ? "-" : "") + std::to_string(whole) + "." + std::to_string(part);
}

std::string QsoTime(const CheckQso& q) {
  return COleDateTime(q.days, COleDateTime::kValid).Format("%Y-%m-%d %H%M");
}

const char* BandName(std::uint8_t band) {
  static const char* const kNames[] = {"160m", "80m", "40m", "20m", "15m", "10m"};
  return band < 6 ? kNames[band] : "?";
}

}  // namespace velmora::check
