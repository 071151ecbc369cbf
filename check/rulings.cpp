#include "check/rulings.h"

#include <algorithm>
#include <stdexcept>

#include "readers/text_scan.h"

namespace velmora::check {

std::vector<RulingLine> ParseRulings(std::string_view text, const std::string& file_name) {
  std::vector<RulingLine> rulings;
  std::size_t pos = 0;
  int number = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = TrimBlanks(text.substr(pos, end - pos));
    pos = end + 1;
    ++number;
    if (line.empty() || line.front() == '#' || (number == 1 && line.rfind("log,", 0) == 0)) continue;
    auto fail = [&](const std::string& what) {
      throw std::invalid_argument(file_name + ":" + std::to_string(number) + ": " + what);
    };
    std::vector<std::string_view> fields;
    for (int i = 0; i < 3; ++i) {
      std::size_t comma = line.find(',');
      if (comma == std::string_view::npos) fail("a ruling needs log,line,verdict,reason");
      fields.push_back(TrimBlanks(line.substr(0, comma)));
      line.remove_prefix(comma + 1);
    }
    RulingLine r;
    r.file_line = number;
    r.log = UpperAscii(fields[0]);
    int qso_line = 0;
    if (!ParseDigits(fields[1], qso_line) || qso_line < 1)
      fail("bad line number \"" + std::string(fields[1]) + "\"");
    r.line = qso_line;
    std::optional<Verdict> verdict = VerdictFromName(fields[2]);
    if (!verdict) fail("unknown verdict \"" + std::string(fields[2]) + "\"");
    r.verdict = *verdict;
    r.reason = std::string(TrimBlanks(line));
    if (r.log.empty()) fail("no log call");
    rulings.push_back(std::move(r));
  }
  return rulings;
}

std::vector<std::string> ApplyRulings(Contest& contest, const std::vector<RulingLine>& rulings,
                                      const std::string& file_name) {
  std::vector<std::string> problems;
  for (const RulingLine& r : rulings) {
    auto where = file_name + ":" + std::to_string(r.file_line) + ": ";
    std::optional<std::uint32_t> call = contest.calls.Find(r.log);
    std::int32_t log = call && *call < contest.log_of_call.size() ? contest.log_of_call[*call] : -1;
    if (log < 0) {
      problems.push_back(where + "no log of " + r.log + "; ruling not applied");
      continue;
    }
    Entrant& entrant = contest.logs[log];
    auto qso = std::lower_bound(entrant.qsos.begin(), entrant.qsos.end(), r.line,
                                [](const CheckQso& q, std::int32_t line) { return q.line < line; });
    if (qso == entrant.qsos.end() || qso->line != r.line) {
      problems.push_back(where + "line " + std::to_string(r.line) + " of " + entrant.file +
                         " is no QSO line; ruling not applied");
      continue;
    }
    const bool counts = r.verdict == Verdict::kOk || r.verdict == Verdict::kUnverified ||
                        r.verdict == Verdict::kUnique;
    if (counts && (qso->stored == Stored::kRejected || qso->band == kNoBand || qso->call == kNoId)) {
      problems.push_back(where + "line " + std::to_string(r.line) + " of " + entrant.file +
                         " was rejected (not a QSO the plug-in can score) and cannot count as " +
                         VerdictName(r.verdict) + "; ruling not applied");
      continue;
    }
    // The check's own verdict: an earlier ruling on the line kept it.
    Verdict before = qso->verdict;
    for (const Ruling& earlier : entrant.rulings)
      if (earlier.line == r.line) before = earlier.before;
    entrant.rulings.push_back({r.line, r.verdict, before, r.reason});
    qso->verdict = r.verdict;
  }
  return problems;
}

}  // namespace velmora::check
