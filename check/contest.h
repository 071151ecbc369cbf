#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <deque>
#include <unordered_map>
#include <vector>

// The contest as the log check holds it: every entrant's log in a compact
// form (texts interned), with the plug-in's view of each QSO line and the
// check's verdict. Built by log_intake, judged by matching, read by the
// output renderers.

namespace velmora::check {

enum class Verdict : std::uint8_t {
  kOk,
  kBadExchange,
  kBustedCall,
  kNil,
  kUnique,
  kUnverified,
  kDupe,
  kRejected,
  kOutside,
  kWrongBand,
  kOwnCall,  // the log's own call in the call field: never counted
};
constexpr int kVerdictCount = 11;

// The name of a verdict in the outputs ("ok", "bad-exchange" ...).
const char* VerdictName(Verdict verdict);
std::optional<Verdict> VerdictFromName(std::string_view name);

// What the plug-in made of a QSO line.
enum class Stored : std::uint8_t { kCounted, kDupe, kRejected };

// Where a line's time, clock offset taken out, lies against the contest
// period: inside, within the clocks' jitter of an edge (kept when its partner
// is inside), or outside.
enum class Period : std::uint8_t { kInside, kEdge, kOutside };

// How a line is tied to the line of another log that explains it.
enum class Link : std::uint8_t {
  kNone,
  kMatch,      // the same QSO in the worked station's log
  kWrongBand,  // the worked station logged it on another band
  kBusted,     // this line's call was copied wrong; the partner is the true station's line
  kBustOf,     // this line explains another log's busted call
  kInferred,   // busted, told by the contest's own figures: no partner line
};

constexpr std::uint32_t kNoId = std::numeric_limits<std::uint32_t>::max();
constexpr std::uint8_t kNoBand = 255;

// Texts of the contest, each stored once; ids are dense from 0.
class NameTable {
 public:
  NameTable() = default;
  NameTable(NameTable&&) = default;  // a move keeps the deque's strings where they are
  NameTable& operator=(NameTable&&) = default;
  NameTable(const NameTable&) = delete;  // a copy's views would point into the original
  NameTable& operator=(const NameTable&) = delete;

  std::uint32_t Intern(std::string_view text);
  const std::string& Text(std::uint32_t id) const { return texts_[id]; }
  std::optional<std::uint32_t> Find(std::string_view text) const;
  std::size_t size() const { return texts_.size(); }

 private:
  std::deque<std::string> texts_;  // a deque keeps the views of ids_ valid
  std::unordered_map<std::string_view, std::uint32_t> ids_;  // views into texts_' strings
};

// One QSO line of a log.
struct CheckQso {
  double days = 0;             // the logged time, as the plug-in got it
  std::int64_t minute = 0;     // the logged time in whole minutes
  std::uint64_t nr_sent = 0;   // serials, as SerialCode makes them
  std::uint64_t nr_rcvd = 0;
  std::uint32_t call = kNoId;  // worked call, id in Contest::calls
  std::uint32_t prefix = kNoId, continent = kNoId;  // ids in Contest::texts
  std::int32_t line = 0;       // 1-based line in the file
  std::int32_t partner_log = -1, partner_qso = -1;  // the matched QSO, if any
  std::uint32_t correct_call = kNoId;  // busted-call: the call that was worked
  std::uint8_t band = kNoBand;         // contest band index 0..5
  std::uint8_t partner_band = kNoBand; // wrong-band: the band the partner logged
  std::uint8_t mode = 0;               // index in Entrant::modes
  std::uint8_t points = 0;             // the plug-in's points for this QSO
  Stored stored = Stored::kRejected;
  Verdict verdict = Verdict::kRejected;
  Period period = Period::kInside;  // clock offset taken out
  Link link = Link::kNone;          // what partner_log/partner_qso are
  bool counted = false;        // the check's own dupe rule: the line of its call and band that counts
};

// Figures of one score: the plug-in's result pass over a set of QSOs.
struct ScoreFigures {
  int qsos = 0;
  long long points = 0;
  int mults = 0;
  long long score = 0;
};

// An organisers' decision on one QSO line.
struct Ruling {
  std::int32_t line = 0;
  Verdict verdict = Verdict::kOk;
  Verdict before = Verdict::kOk;  // the check's own verdict, kept for the report (not an earlier ruling's)
  std::string reason;
};

struct Entrant {
  std::string file;      // path as given
  std::string call;      // the CALLSIGN: header
  std::string category;  // from the CATEGORY-* headers
  std::uint32_t call_id = kNoId;
  std::string own_prefix, own_continent;  // the station's entity
  std::vector<CheckQso> qsos;             // in file order
  std::vector<std::string> modes;         // mode spellings of the QSO lines
  ScoreFigures claimed, checked;
  int offset_minutes = 0;  // the clock offset taken out of this log
  int offset_pairs = 0;    // QSOs the offset was measured on
  std::vector<Ruling> rulings;
};

// What a bust inferred without a partner line rests on: the correct call's
// serial nearest in time (its own where it sent a log, else as others copied
// it), when there is one.
struct BustEvidence {
  std::int64_t minute = 0;  // corrected
  std::uint64_t serial = 0;
  bool has_serial = false;
};

struct Contest {
  std::vector<Entrant> logs;
  NameTable calls;  // worked calls and entrants' calls
  NameTable texts;  // prefixes and continents
  // Per call id, the log sent by that call, or -1.
  std::vector<std::int32_t> log_of_call;
  // Per call id, how many logs hold a QSO line with that call.
  std::vector<std::uint32_t> holders;
  // The inferred busts' evidence, by EvidenceKey(log, qso).
  std::unordered_map<std::uint64_t, BustEvidence> evidence;
};

inline std::uint64_t EvidenceKey(std::size_t log, std::size_t qso) {
  return static_cast<std::uint64_t>(log) << 32 | qso;
}

// A serial as compared by the check: leading zeros ignored. Up to 18 digits
// become their value; empty is 0 with bit 62 set; any other text is left to
// the caller (nullopt), which gives it TextSerialCode of its id in
// Contest::texts, so the report can show it as logged.
std::optional<std::uint64_t> SerialCode(std::string_view serial);
std::uint64_t TextSerialCode(std::uint32_t text_id);
// The serial as logged, leading zeros left out.
std::string SerialText(const Contest& contest, std::uint64_t code);

}  // namespace velmora::check
