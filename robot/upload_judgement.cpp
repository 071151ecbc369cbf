#include "robot/upload_judgement.h"

#include <algorithm>
#include <map>

#include "check/log_intake.h"
#include "check/plugin_tally.h"
#include "engine/qso_validation.h"
#include "readers/cabrillo_reader.h"
#include "readers/qso_args_of.h"
#include "readers/text_scan.h"

namespace velmora::robot {

namespace {

// The headers the judgement reads, with their lines.
struct Header {
  int start_line = 0, end_line = 0, last_line = 0;
  int call_line = 0, claimed_line = 0;
  std::string call, claimed;
  std::vector<std::pair<int, std::pair<std::string, std::string>>> categories;
  std::vector<int> qso_lines_after_end;
  int qso_lines = 0;
};

Header ReadHeader(std::string_view text) {
  Header h;
  ForEachLine(text, [&](const TextLine& line) {
    const int number = static_cast<int>(line.number);
    h.last_line = number;
    std::size_t colon = line.text.find(':');
    if (colon == std::string_view::npos) return;
    std::string key = UpperAscii(TrimBlanks(line.text.substr(0, colon)));
    std::string value(TrimBlanks(line.text.substr(colon + 1)));
    if (key == "QSO") {
      if (h.end_line) h.qso_lines_after_end.push_back(number);
      else ++h.qso_lines;
    }
    if (h.end_line) return;
    if (key == "START-OF-LOG" && !h.start_line) h.start_line = number;
    else if (key == "END-OF-LOG") h.end_line = number;
    else if (key == "CALLSIGN" && !h.call_line) h.call_line = number, h.call = UpperAscii(value);
    else if (key == "CLAIMED-SCORE" && !h.claimed_line) h.claimed_line = number, h.claimed = value;
    else if (key.rfind("CATEGORY-", 0) == 0)
      h.categories.push_back({number, {key, UpperAscii(value)}});
  });
  return h;
}

std::string Joined(const std::vector<std::string>& values) {
  std::string text;
  for (const std::string& v : values) text += (text.empty() ? "" : ", ") + v;
  return text;
}

// "FILE:LINE: what" of the reader, taken apart.
Finding FindingOfReadError(const std::string& message, const std::string& file_name) {
  Finding f;
  std::string rest = message.substr(std::min(message.size(), file_name.size() + 1));
  std::size_t colon = rest.find(':');
  int line = 0;
  if (colon != std::string::npos && ParseDigits(rest.substr(0, colon), line)) {
    f.line = line;
    f.message = std::string(TrimBlanks(rest.substr(colon + 1)));
  } else {
    f.message = message;
  }
  return f;
}

void JudgeHeader(const Header& h, const RobotConfig& config, Judgement& j) {
  if (!h.start_line)
    j.warnings.push_back({1, "no START-OF-LOG: line; the log is read as Cabrillo all the same"});
  if (!h.call_line)
    j.errors.push_back({0, "no CALLSIGN: header: the log must name the station's call"});
  else if (!IsCallSign(h.call))
    j.errors.push_back({h.call_line, "CALLSIGN: \"" + h.call + "\" is not a call sign"});
  for (const auto& [line, header] : h.categories) {
    const auto& [key, value] = header;
    auto allowed = config.categories.find(key);
    if (allowed == config.categories.end()) continue;
    if (value.empty()) {
      j.warnings.push_back({line, key + ": has no value; it is left out of the category"});
      continue;
    }
    const std::vector<std::string>& values = allowed->second;
    if (std::find(values.begin(), values.end(), value) == values.end())
      j.errors.push_back({line, key + ": \"" + value + "\" is not a category of this contest (" +
                                    Joined(values) + ")"});
  }
  if (!h.end_line)
    j.warnings.push_back({h.last_line, "no END-OF-LOG: line: the file may be cut short; every "
                                       "QSO line that was read counts"});
  for (int line : h.qso_lines_after_end)
    j.warnings.push_back({line, "QSO line after END-OF-LOG: is not read; it does not count"});
}

std::string PlugInReason(Verdict verdict, const LogQso& q) {
  switch (verdict) {
    case Verdict::kWrongBand:
      return "frequency " + std::to_string(q.freq_hz / 1000) + " kHz is on no band of the contest";
    case Verdict::kWrongMode:
      return "mode \"" + q.mode + "\" is not a mode of the contest";
    case Verdict::kNoRxNumber:
      return "no serial received";
    case Verdict::kAccepted:
      break;
  }
  return "";
}

bool Outside(const LogQso& q, const RobotConfig& config) {
  const long long minute = UnixSeconds(q.time) / 60;
  if (config.contest_start && minute < UnixSeconds(*config.contest_start) / 60) return true;
  if (config.contest_end && minute > UnixSeconds(*config.contest_end) / 60) return true;
  return false;
}

// Sent serials run up by one a QSO; one that repeats or goes back is noted.
class SentSerials {
 public:
  void Note(const LogQso& q, Judgement& j) {
    int serial = 0;
    if (!ParseDigits(q.nr_sent, serial)) {
      j.warnings.push_back({q.line, "sent serial \"" + q.nr_sent + "\" is not a number; "
                                    "the QSO counts, the check holds it against the other log"});
      return;
    }
    if (last_line_ && serial == last_)
      j.warnings.push_back({q.line, "sent serial " + std::to_string(serial) + " repeats line " +
                                        std::to_string(last_line_) + "'s; the QSO counts"});
    else if (last_line_ && serial < last_)
      j.warnings.push_back({q.line, "sent serial " + std::to_string(serial) +
                                        " goes back from " + std::to_string(last_) + " (line " +
                                        std::to_string(last_line_) + "); the QSO counts"});
    last_ = serial;
    last_line_ = q.line;
  }

 private:
  int last_ = 0, last_line_ = 0;
};

void JudgeQsos(const ParsedLog& log, const Header& h, const RobotConfig& config,
               const CountryFile& cty, Judgement& j) {
  std::optional<Entity> own = cty.Lookup(h.call);
  check::PluginTally tally(own ? own->key : "", own ? own->continent : "");
  std::map<std::string, int> first_line;  // call, band and mode -> line
  SentSerials serials;
  for (const LogQso& q : log.qsos) {
    if (IsCallSign(h.call) && !q.own_call.empty() && q.own_call != h.call)
      j.warnings.push_back({q.line, "the QSO's own call " + q.own_call + " is not CALLSIGN: " +
                                        h.call + "; the QSO counts for " + h.call});
    serials.Note(q, j);
    const QsoArgs args = readers::QsoArgsOf(q, h.call, cty.Lookup(q.call));
    if (Verdict verdict = ValidateQso(args); verdict != Verdict::kAccepted) {
      j.warnings.push_back({q.line, PlugInReason(verdict, q) + "; the QSO does not count"});
      continue;
    }
    if (Outside(q, config)) {
      j.warnings.push_back({q.line, "the QSO's time " + q.time.Format("%Y-%m-%d %H:%M") +
                                        " is outside the contest period; it does not count"});
      continue;
    }
    int points = 0;
    const std::string key = q.call + ' ' + args.band + ' ' + q.mode;
    if (tally.Add(args, points) == check::Stored::kDupe)
      j.warnings.push_back({q.line, "dupe of line " + std::to_string(first_line[key]) + " (" +
                                        q.call + " on " + args.band + "); it counts once"});
    else
      first_line.emplace(key, q.line);
  }
  ScoreSheet sheet = tally.Sheet();
  for (const BandScore& row : sheet.rows)
    j.bands.push_back({row.band, row.qsos, row.points, row.mults});
  j.qsos = sheet.total.qsos;
  j.points = sheet.total.points;
  j.mults = sheet.total.mults;
  j.score = sheet.score;
}

// `cut_line`: the last line of a file cut short in its middle, which tells of
// the cut and not of the layout; 0 when the file ends whole.
void JudgeUnreadable(const ParsedLog& log, int qso_lines, int cut_line, Judgement& j) {
  std::size_t unreadable = log.skipped.size();
  if (unreadable && log.skipped.back().line == cut_line) --unreadable;
  const bool too_many = unreadable * 10 > static_cast<std::size_t>(qso_lines);
  std::vector<Finding>& list = too_many ? j.errors : j.warnings;
  for (const LogProblem& p : log.skipped)
    list.push_back({p.line, p.message + (too_many ? "" : "; the QSO does not count")});
  if (log.qsos.empty())
    j.errors.push_back({0, "no QSO line can be read"});
  else if (too_many)
    j.errors.push_back({0, std::to_string(unreadable) + " of " +
                               std::to_string(qso_lines) +
                               " QSO lines cannot be read, more than a tenth: is this a log of "
                               "another layout? Each QSO line is QSO: freq mode date time "
                               "own-call rst serial call rst serial"});
}

void JudgeClaimed(const Header& h, Judgement& j) {
  if (!h.claimed_line) return;
  std::string_view digits = h.claimed;
  const bool negative = !digits.empty() && digits.front() == '-';
  if (negative) digits.remove_prefix(1);
  int value = 0;
  if (!ParseDigits(digits, value)) {
    j.warnings.push_back({h.claimed_line, "CLAIMED-SCORE: \"" + h.claimed +
                                              "\" is not a number; it is shown as it is"});
    return;
  }
  j.claimed = negative ? -static_cast<long long>(value) : value;
  if (!j.Refused() && *j.claimed != j.score)
    j.warnings.push_back({h.claimed_line, "CLAIMED-SCORE: " + std::to_string(*j.claimed) +
                                              " is not the score computed here, " +
                                              std::to_string(j.score)});
}

int NulLine(std::string_view bytes) {
  std::size_t nul = bytes.find('\0');
  if (nul == std::string_view::npos) return 0;
  return 1 + static_cast<int>(std::count(bytes.begin(), bytes.begin() + nul, '\n'));
}

}  // namespace

bool IsCallSign(std::string_view text) {
  if (text.size() < 3 || text.size() > 20 || text.front() == '/' || text.back() == '/')
    return false;
  bool letter = false, digit = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') letter = true;
    else if (c >= '0' && c <= '9') digit = true;
    else if (c != '/' || text[i - 1] == '/') return false;
  }
  return letter && digit;
}

Judgement JudgeUpload(std::string_view raw, const RobotConfig& config, const CountryFile& cty) {
  Judgement j;
  if (raw.empty()) {
    j.errors.push_back({0, "the file is empty"});
    return j;
  }
  if (int line = NulLine(raw)) {
    j.errors.push_back({line, "the file holds a NUL byte: it is not a text file, not a "
                              "Cabrillo log"});
    return j;
  }
  // Read as velmora-check reads it: past a byte-order mark, lines ended by CR
  // alone taken as lines. What is stored stays as it came.
  std::string copy;
  const std::string_view bytes = WithLineFeeds(WithoutByteOrderMark(raw), copy);
  if (bytes.empty()) {
    j.errors.push_back({0, "the file is empty"});
    return j;
  }
  static const std::string kName = "log";
  ParsedLog log;
  try {
    log = ReadCabrillo(bytes, kName);
  } catch (const LogReadError& e) {
    j.errors.push_back(FindingOfReadError(e.what(), kName));
    return j;
  }
  const Header header = ReadHeader(bytes);
  j.call = header.call;
  j.category = check::CategoryOf(bytes);
  j.qso_lines = header.qso_lines;
  JudgeHeader(header, config, j);
  const bool cut = !header.end_line && bytes.back() != '\n';
  JudgeUnreadable(log, header.qso_lines, cut ? header.last_line : 0, j);
  if (!log.qsos.empty()) JudgeQsos(log, header, config, cty, j);
  for (const LogQso& q : log.qsos) j.worked.push_back(q.call);
  std::sort(j.worked.begin(), j.worked.end());
  j.worked.erase(std::unique(j.worked.begin(), j.worked.end()), j.worked.end());
  JudgeClaimed(header, j);
  auto by_line = [](const Finding& a, const Finding& b) { return a.line < b.line; };
  std::stable_sort(j.errors.begin(), j.errors.end(), by_line);
  std::stable_sort(j.warnings.begin(), j.warnings.end(), by_line);
  return j;
}

}  // namespace velmora::robot
