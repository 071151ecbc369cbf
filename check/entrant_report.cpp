#include "check/entrant_report.h"

#include <array>

#include "engine/text_format.h"

namespace velmora::check {

namespace {

using LoggedByRow = std::vector<std::pair<std::int32_t, std::int32_t>>;

constexpr std::array<Verdict, 6> kListed = {Verdict::kNil,       Verdict::kBustedCall,
                                            Verdict::kBadExchange, Verdict::kWrongBand,
                                            Verdict::kUnique,    Verdict::kOwnCall};

const char* ListTitle(Verdict v) {
  switch (v) {
    case Verdict::kNil: return "Not in the other station's log (nil)";
    case Verdict::kBustedCall: return "Busted calls (busted-call)";
    case Verdict::kBadExchange: return "Serials copied wrong (bad-exchange)";
    case Verdict::kWrongBand: return "Logged by the other station on another band (wrong-band)";
    case Verdict::kOwnCall: return "Your own call in the call field (own-call)";
    default: return "Calls in no other log (unique)";
  }
}

std::array<int, kVerdictCount> CountVerdicts(const std::vector<CheckQso>& qsos) {
  std::array<int, kVerdictCount> counts{};
  for (const CheckQso& q : qsos) ++counts[static_cast<std::size_t>(q.verdict)];
  return counts;
}

const CheckQso* Partner(const Contest& c, const CheckQso& q) {
  return q.partner_log >= 0 ? &c.logs[q.partner_log].qsos[q.partner_qso] : nullptr;
}

// A call of the contest's table; empty for a line the reader could not use.
std::string CallText(const Contest& c, std::uint32_t call) {
  return call == kNoId ? std::string() : c.calls.Text(call);
}

// The evidence of a bust told by the contest's own figures, or nullptr.
const BustEvidence* EvidenceOf(const Contest& c, std::size_t log, const CheckQso& q) {
  if (q.link != Link::kInferred || q.verdict != Verdict::kBustedCall || q.correct_call == kNoId)
    return nullptr;
  const auto found = c.evidence.find(EvidenceKey(log, static_cast<std::size_t>(&q - c.logs[log].qsos.data())));
  return found == c.evidence.end() ? nullptr : &found->second;
}

std::string ClockText(std::int64_t minute) {
  const std::int64_t day = ((minute % 1440) + 1440) % 1440;
  return StrFormat("%02d:%02d", static_cast<int>(day / 60), static_cast<int>(day % 60));
}

// "busted: HB9BXE, in 48 logs, sent 69 at 17:26".
std::string InferredDetail(const Contest& c, const CheckQso& q, const BustEvidence& e) {
  std::string text = "busted: " + CallText(c, q.correct_call) +
                     StrFormat(", in %u logs", c.holders[q.correct_call]);
  if (e.has_serial) return text + ", sent " + SerialText(c, e.serial) + " at " + ClockText(e.minute);
  return text + ", a known call with the serial typed after it";
}

// What one listed QSO line says beside its line, time, band and call.
std::string Detail(const Contest& c, std::size_t log, const CheckQso& q) {
  if (const BustEvidence* e = EvidenceOf(c, log, q)) return InferredDetail(c, q, *e);
  const CheckQso* p = Partner(c, q);
  const std::string other = p ? c.logs[q.partner_log].call : "";
  const std::string other_line = p ? std::to_string(p->line) : "";
  const bool needs_partner = q.verdict == Verdict::kBustedCall ||
                             q.verdict == Verdict::kBadExchange || q.verdict == Verdict::kWrongBand;
  if (needs_partner && (!p || (q.verdict == Verdict::kBustedCall && q.correct_call == kNoId) ||
                        (q.verdict == Verdict::kWrongBand && q.partner_band == kNoBand)))
    return "by a ruling";
  switch (q.verdict) {
    case Verdict::kBustedCall:
      return "correct call " + CallText(c, q.correct_call) + " (its line " + other_line + ")";
    case Verdict::kBadExchange:
      return "copied " + SerialText(c, q.nr_rcvd) + ", " + other + " sent " +
             SerialText(c, p->nr_sent) + " (its line " + other_line + ")";
    case Verdict::kWrongBand:
      return std::string(other) + " logged it on " + BandName(q.partner_band) + " (its line " +
             other_line + ")";
    case Verdict::kNil:
      return q.call == kNoId ? "by a ruling" : "not in the log of " + CallText(c, q.call);
    case Verdict::kOwnCall: return "the log's own call, never counted";
    default: return "no log of this call, no other log holds it";
  }
}

// The length of the valid UTF-8 sequence at the start of `s` (shortest form,
// no surrogates, at most U+10FFFF), or 0.
std::size_t Utf8Length(std::string_view s) {
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char lead = b(0);
  std::size_t n = 0;
  unsigned char low = 0x80, high = 0xbf;
  if (lead >= 0xc2 && lead <= 0xdf) n = 2;
  else if (lead >= 0xe0 && lead <= 0xef) {
    n = 3;
    if (lead == 0xe0) low = 0xa0;
    if (lead == 0xed) high = 0x9f;
  } else if (lead >= 0xf0 && lead <= 0xf4) {
    n = 4;
    if (lead == 0xf0) low = 0x90;
    if (lead == 0xf4) high = 0x8f;
  }
  if (n == 0 || s.size() < n || b(1) < low || b(1) > high) return 0;
  for (std::size_t i = 2; i < n; ++i)
    if (b(i) < 0x80 || b(i) > 0xbf) return 0;
  return n;
}

}  // namespace

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size();) {
    const auto ch = static_cast<unsigned char>(text[i]);
    if (ch >= 0x80) {
      if (const std::size_t n = Utf8Length(text.substr(i))) {
        out.append(text.substr(i, n));  // valid UTF-8 passes as it is
        i += n;
        continue;
      }
      out += StrFormat("\\u%04x", ch);  // a byte that is no UTF-8: as Latin-1
    } else if (ch == '"' || ch == '\\') {
      out += '\\';
      out += static_cast<char>(ch);
    } else if (ch < 0x20 || ch == 0x7f) {
      out += StrFormat("\\u%04x", ch);
    } else {
      out += static_cast<char>(ch);
    }
    ++i;
  }
  return out + "\"";
}

namespace {

std::string Json(const std::string& text) { return JsonString(text); }

std::string FiguresJson(const ScoreFigures& f) {
  return StrFormat("{\"qsos\": %d, \"points\": %lld, \"mults\": %d, \"score\": %lld}", f.qsos,
                   f.points, f.mults, f.score);
}

std::string CountsJson(const std::array<int, kVerdictCount>& counts) {
  std::string out = "{";
  for (int v = 0; v < kVerdictCount; ++v)
    out += StrFormat("%s\"%s\": %d", v ? ", " : "", VerdictName(static_cast<Verdict>(v)),
                     counts[static_cast<std::size_t>(v)]);
  return out + "}";
}

std::string OffsetText(const Entrant& e) {
  if (e.offset_minutes == 0)
    return StrFormat("none (measured on %d QSOs)", e.offset_pairs);
  const int m = e.offset_minutes < 0 ? -e.offset_minutes : e.offset_minutes;
  return StrFormat("%+d minutes: the log's clock was %d h %02d min %s, taken out before the "
                   "matching (measured on %d QSOs)",
                   e.offset_minutes, m / 60, m % 60, e.offset_minutes > 0 ? "ahead" : "behind",
                   e.offset_pairs);
}

std::array<int, kVerdictCount> CountOthers(const Contest& c, const LoggedByRow& row) {
  std::array<int, kVerdictCount> counts{};
  for (const auto& [x, k] : row) ++counts[static_cast<std::size_t>(c.logs[x].qsos[k].verdict)];
  return counts;
}

}  // namespace

std::string ReportText(const Contest& c, std::size_t log, const LoggedByRow& logged_by) {
  const Entrant& e = c.logs[log];
  std::string t = "Velmora Memorial Contest HF: log check of " + e.call + "\n";
  t += "File: " + e.file + "\nCategory: " + e.category + "\n\n";
  t += "           QSOs     points   mults        score\n";
  t += StrFormat("claimed  %6d %10lld %7d %12lld\n", e.claimed.qsos, e.claimed.points,
                 e.claimed.mults, e.claimed.score);
  t += StrFormat("checked  %6d %10lld %7d %12lld   (%s %% less)\n", e.checked.qsos,
                 e.checked.points, e.checked.mults, e.checked.score,
                 ReductionPercent(e.claimed.score, e.checked.score).c_str());
  t += "\nClock offset: " + OffsetText(e) + "\n\nVerdicts of the " +
       std::to_string(e.qsos.size()) + " QSO lines:";
  const std::array<int, kVerdictCount> counts = CountVerdicts(e.qsos);
  for (int v = 0; v < kVerdictCount; ++v)
    if (counts[static_cast<std::size_t>(v)])
      t += StrFormat(" %s %d", VerdictName(static_cast<Verdict>(v)), counts[static_cast<std::size_t>(v)]);
  t += "\n";
  for (Verdict v : kListed) {
    if (!counts[static_cast<std::size_t>(v)]) continue;
    t += std::string("\n") + ListTitle(v) + ":\n";
    for (const CheckQso& q : e.qsos)
      if (q.verdict == v)
        t += StrFormat("  line %-6d %s %-4s %-12s %s\n", q.line, QsoTime(q).c_str(),
                       BandName(q.band), CallText(c, q.call).c_str(), Detail(c, log, q).c_str());
  }
  if (!e.rulings.empty()) {
    t += "\nRulings of the organisers:\n";
    for (const Ruling& r : e.rulings)
      t += StrFormat("  line %-6d %s -> %s: %s\n", r.line, VerdictName(r.before),
                     VerdictName(r.verdict), r.reason.c_str());
  }
  const std::array<int, kVerdictCount> others = CountOthers(c, logged_by);
  t += StrFormat("\nAs others logged you: %zu QSO lines in other logs name %s:", logged_by.size(),
                 e.call.c_str());
  for (int v = 0; v < kVerdictCount; ++v)
    if (others[static_cast<std::size_t>(v)])
      t += StrFormat(" %s %d", VerdictName(static_cast<Verdict>(v)), others[static_cast<std::size_t>(v)]);
  t += "\n";
  if (others[static_cast<std::size_t>(Verdict::kNil)]) {
    t += "Their QSOs not in your log (their nil):\n";
    for (const auto& [x, k] : logged_by) {
      const CheckQso& q = c.logs[x].qsos[k];
      if (q.verdict == Verdict::kNil)
        t += StrFormat("  %-12s line %-6d %s %s\n", c.logs[x].call.c_str(), q.line,
                       QsoTime(q).c_str(), BandName(q.band));
    }
  }
  return t;
}

std::string ReportJson(const Contest& c, std::size_t log, const LoggedByRow& logged_by) {
  const Entrant& e = c.logs[log];
  std::string j = "{\n";
  j += "  \"call\": " + Json(e.call) + ",\n  \"file\": " + Json(e.file) +
       ",\n  \"category\": " + Json(e.category) + ",\n";
  j += "  \"claimed\": " + FiguresJson(e.claimed) + ",\n  \"checked\": " + FiguresJson(e.checked) +
       ",\n";
  j += StrFormat("  \"offset_minutes\": %d,\n  \"offset_measured_on\": %d,\n", e.offset_minutes,
                 e.offset_pairs);
  j += "  \"verdicts\": " + CountsJson(CountVerdicts(e.qsos)) + ",\n  \"qsos\": [";
  bool first = true;
  for (const CheckQso& q : e.qsos) {
    bool listed = false;
    for (Verdict v : kListed) listed = listed || q.verdict == v;
    if (!listed) continue;
    const CheckQso* p = Partner(c, q);
    j += first ? "\n" : ",\n";
    first = false;
    j += StrFormat("    {\"line\": %d, \"verdict\": \"%s\", \"time\": \"%s\", \"band\": \"%s\", "
                   "\"call\": %s",
                   q.line, VerdictName(q.verdict), QsoTime(q).c_str(), BandName(q.band),
                   Json(CallText(c, q.call)).c_str());
    if (q.verdict == Verdict::kBustedCall && q.correct_call != kNoId)
      j += ", \"correct_call\": " + Json(CallText(c, q.correct_call));
    if (const BustEvidence* e = EvidenceOf(c, log, q)) {
      j += StrFormat(", \"evidence\": {\"logs\": %u", c.holders[q.correct_call]);
      if (e->has_serial)
        j += ", \"sent\": " + Json(SerialText(c, e->serial)) + ", \"at\": \"" + ClockText(e->minute) + "\"";
      j += "}";
    }
    if (p)
      j += ", \"other_log\": " + Json(c.logs[q.partner_log].call) +
           StrFormat(", \"other_line\": %d", p->line);
    if (q.verdict == Verdict::kBadExchange && p)
      j += ", \"copied\": " + Json(SerialText(c, q.nr_rcvd)) + ", \"sent\": " +
           Json(SerialText(c, p->nr_sent));
    if (q.verdict == Verdict::kWrongBand)
      j += std::string(", \"other_band\": \"") + BandName(q.partner_band) + "\"";
    j += "}";
  }
  j += first ? "],\n" : "\n  ],\n";
  j += "  \"rulings\": [";
  for (std::size_t i = 0; i < e.rulings.size(); ++i) {
    const Ruling& r = e.rulings[i];
    j += StrFormat("%s\n    {\"line\": %d, \"before\": \"%s\", \"verdict\": \"%s\", \"reason\": %s}",
                   i ? "," : "", r.line, VerdictName(r.before), VerdictName(r.verdict),
                   Json(r.reason).c_str());
  }
  j += e.rulings.empty() ? "],\n" : "\n  ],\n";
  j += "  \"logged_by_others\": {\"verdicts\": " + CountsJson(CountOthers(c, logged_by)) +
       ", \"nil\": [";
  first = true;
  for (const auto& [x, k] : logged_by) {
    const CheckQso& q = c.logs[x].qsos[k];
    if (q.verdict != Verdict::kNil) continue;
    j += StrFormat("%s{\"log\": %s, \"line\": %d, \"time\": \"%s\", \"band\": \"%s\"}",
                   first ? "" : ", ", Json(c.logs[x].call).c_str(), q.line, QsoTime(q).c_str(),
                   BandName(q.band));
    first = false;
  }
  return j + "]}\n}\n";
}

}  // namespace velmora::check
