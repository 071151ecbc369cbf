#include "check/log_intake.h"

#include <cmath>

#include "check/plugin_tally.h"
#include "engine/contest_rules.h"
#include "readers/cabrillo_reader.h"
#include "readers/qso_args_of.h"
#include "readers/text_scan.h"

namespace velmora::check {

namespace {

// Whole minutes of a logged time; 0 for a value outside every real date.
std::int64_t MinuteOf(const COleDateTime& time) {
  if (time.GetStatus() != COleDateTime::kValid) return 0;
  const double days = time.LinearDays();
  if (!std::isfinite(days) || days < -1.0e7 || days > 1.0e7) return 0;
  return std::llround(days * 1440.0);
}

// Serials compare without their leading zeros; "000" stays "0".
std::string_view TrimLeadingZeros(std::string_view serial) {
  while (serial.size() > 1 && serial.front() == '0') serial.remove_prefix(1);
  return serial;
}

std::size_t ColumnCount(std::string_view text) {
  std::size_t count = 0;
  bool in_column = false;
  for (char c : text) {
    bool blank = c == ' ' || c == '\t' || c == '\r';
    if (!blank && !in_column) ++count;
    in_column = !blank;
  }
  return count;
}

// Problems the replay's reader lets pass: no END-OF-LOG: (a file cut short)
// and QSO lines wider than Cabrillo's eleven columns.
void NoteLayoutProblems(std::string_view text, const std::string& file_name,
                        std::vector<std::string>& problems) {
  bool ended = false;
  std::size_t last = 0;
  ForEachLine(text, [&](const TextLine& line) {
    last = line.number;
    if (ended) return;
    std::size_t colon = line.text.find(':');
    if (colon == std::string_view::npos) return;
    std::string key = UpperAscii(TrimBlanks(line.text.substr(0, colon)));
    if (key == "END-OF-LOG") ended = true;
    if (key == "QSO") {
      std::size_t columns = ColumnCount(line.text.substr(colon + 1));
      if (columns > 11)
        problems.push_back(file_name + ":" + std::to_string(line.number) + ": QSO line has " +
                           std::to_string(columns) + " columns, at most 11 expected");
    }
  });
  if (!ended)
    problems.push_back(file_name + ":" + std::to_string(last) +
                       ": no END-OF-LOG: line, the file may be cut short");
}

// QSO lines whose own call is not the log's CALLSIGN: are reported once, with
// the first of them and their count.
void NoteForeignOwnCalls(const ParsedLog& log, const std::string& file_name,
                         std::vector<std::string>& problems) {
  int count = 0;
  const LogQso* first = nullptr;
  for (const LogQso& q : log.qsos)
    if (!q.own_call.empty() && UpperAscii(q.own_call) != UpperAscii(log.own_call)) {
      if (!first) first = &q;
      ++count;
    }
  if (first)
    problems.push_back(file_name + ":" + std::to_string(first->line) + ": the QSO line's own call " +
                       first->own_call + " is not the log's CALLSIGN: " + log.own_call + " (" +
                       std::to_string(count) + " such line" + (count > 1 ? "s" : "") + ")");
}

}  // namespace

std::string CategoryOf(std::string_view text) {
  std::string op, band, power, old;
  ForEachLine(text, [&](const TextLine& line) {
    std::size_t colon = line.text.find(':');
    if (colon == std::string_view::npos) return;
    std::string key = UpperAscii(TrimBlanks(line.text.substr(0, colon)));
    std::string value = UpperAscii(TrimBlanks(line.text.substr(colon + 1)));
    if (key == "CATEGORY-OPERATOR") op = value;
    else if (key == "CATEGORY-BAND") band = value;
    else if (key == "CATEGORY-POWER") power = value;
    else if (key == "CATEGORY") old = value;
  });
  std::string category;
  for (const std::string* part : {&op, &band, &power})
    if (!part->empty()) category += (category.empty() ? "" : " ") + *part;
  if (category.empty()) category = old;
  return category.empty() ? "UNKNOWN" : category;
}

const std::optional<Entity>& Intake::Lookup(const std::string& call) {
  auto it = entities_.find(call);
  if (it == entities_.end()) it = entities_.emplace(call, cty_.Lookup(call)).first;
  return it->second;
}

std::optional<Entrant> Intake::Read(std::string_view raw, const std::string& file_name,
                                    std::vector<std::string>& problems) {
  std::string copy;
  const std::string_view text = WithLineFeeds(raw, copy);
  ParsedLog log;
  try {
    log = ReadCabrillo(text, file_name);
  } catch (const LogReadError& e) {
    problems.push_back(std::string(e.what()) + "; file skipped");
    return std::nullopt;
  }
  if (log.own_call.empty()) {
    problems.push_back(file_name + ":1: no CALLSIGN: header; file skipped");
    return std::nullopt;
  }
  NoteLayoutProblems(text, file_name, problems);
  NoteForeignOwnCalls(log, file_name, problems);
  for (const LogProblem& p : log.skipped)
    problems.push_back(file_name + ":" + std::to_string(p.line) + ": " + p.message);

  Entrant entrant;
  entrant.file = file_name;
  entrant.call = log.own_call;
  entrant.category = CategoryOf(text);
  if (const std::optional<Entity>& own = Lookup(log.own_call)) {
    entrant.own_prefix = own->key;
    entrant.own_continent = own->continent;
  }
  PluginTally tally(entrant.own_prefix, entrant.own_continent);
  std::vector<const std::string*> worked;
  std::vector<std::pair<const std::string*, const std::string*>> entity_texts;
  struct TextSerial {
    std::size_t qso;
    bool sent;
    std::string_view text;
  };
  std::vector<TextSerial> text_serials;  // serials that are no number, interned below
  static const std::string kNone;

  std::size_t next_skipped = 0;
  auto add_skipped_before = [&](int line) {
    while (next_skipped < log.skipped.size() && log.skipped[next_skipped].line < line) {
      CheckQso bad;
      bad.line = log.skipped[next_skipped++].line;
      entrant.qsos.push_back(bad);
      worked.push_back(nullptr);
      entity_texts.emplace_back(&kNone, &kNone);
    }
  };
  for (const LogQso& q : log.qsos) {
    add_skipped_before(q.line);
    const std::optional<Entity>& entity = Lookup(q.call);
    const QsoArgs args =
        readers::QsoArgsOf(q, q.own_call.empty() ? log.own_call : q.own_call, entity);

    CheckQso c;
    int points = 0;
    c.stored = tally.Add(args, points);
    c.points = static_cast<std::uint8_t>(points);
    c.verdict = c.stored == Stored::kRejected ? Verdict::kRejected
                : c.stored == Stored::kDupe   ? Verdict::kDupe
                                              : Verdict::kOk;
    c.line = q.line;
    c.days = q.time.Days();
    c.minute = MinuteOf(q.time);
    for (const bool sent : {true, false}) {
      const std::string_view serial = TrimLeadingZeros(sent ? q.nr_sent : q.nr_rcvd);
      const std::optional<std::uint64_t> code = SerialCode(serial);
      (sent ? c.nr_sent : c.nr_rcvd) = code.value_or(0);
      if (!code) text_serials.push_back({entrant.qsos.size(), sent, serial});
    }
    if (c.stored != Stored::kRejected) {
      int band = ContestBands().IndexOf(ContestBands().Canonical(q.band));
      c.band = band < 0 ? kNoBand : static_cast<std::uint8_t>(band);
    }
    std::size_t mode = 0;
    while (mode < entrant.modes.size() && entrant.modes[mode] != q.mode) ++mode;
    if (mode == entrant.modes.size() && mode < 255) entrant.modes.push_back(q.mode);
    c.mode = static_cast<std::uint8_t>(mode < 255 ? mode : 254);
    entrant.qsos.push_back(c);
    worked.push_back(&q.call);
    entity_texts.emplace_back(entity ? &entity->key : &kNone,
                              entity ? &entity->continent : &kNone);
  }
  add_skipped_before(std::numeric_limits<int>::max());
  entrant.claimed = tally.Figures();

  std::lock_guard lock(tables_mutex_);
  entrant.call_id = contest_.calls.Intern(entrant.call);
  for (std::size_t i = 0; i < entrant.qsos.size(); ++i) {
    if (!worked[i]) continue;
    CheckQso& c = entrant.qsos[i];
    c.call = contest_.calls.Intern(*worked[i]);
    c.prefix = contest_.texts.Intern(*entity_texts[i].first);
    c.continent = contest_.texts.Intern(*entity_texts[i].second);
  }
  for (const TextSerial& t : text_serials) {
    CheckQso& c = entrant.qsos[t.qso];
    (t.sent ? c.nr_sent : c.nr_rcvd) = TextSerialCode(contest_.texts.Intern(t.text));
  }
  return entrant;
}

}  // namespace velmora::check
