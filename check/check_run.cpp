#include "check/check_run.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <filesystem>
#include <functional>
#include <mutex>
#include <stdexcept>

#include "check/checked_score.h"
#include "check/entrant_report.h"
#include "check/known_calls.h"
#include "check/log_intake.h"
#include "check/matching.h"
#include "check/parallel_for.h"
#include "check/results_output.h"
#include "check/rulings.h"
#include "check/standings.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/replace_batch.h"
#include "readers/log_qso.h"
#include "readers/text_scan.h"

namespace velmora::check {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kProgressEvery = 1000;

// The one door to files: whole reads, atomic replacement flushed to the disk.
PosixFileSystem& Files() {
  static PosixFileSystem files;
  return files;
}

std::optional<std::string> ReadWhole(const std::string& path) { return Files().ReadFile(path); }

bool IsLogName(const fs::path& path) {
  std::string ext = LowerAscii(path.extension().string());
  return ext == ".log" || ext == ".cbr";
}

// The files of the command line: files as given, folders' *.log and *.cbr
// files in name order.
std::vector<std::string> ListInputs(const CheckOptions& o, std::ostream& err) {
  std::vector<std::string> files;
  for (const std::string& input : o.inputs) {
    std::error_code ec;
    if (fs::is_directory(input, ec)) {
      std::vector<std::string> found;
      fs::directory_iterator it(input, ec), end;
      for (; !ec && it != end; it.increment(ec)) {
        std::error_code entry_ec;  // a dangling link is no log, and no fault of the folder
        if (it->is_regular_file(entry_ec) && IsLogName(it->path())) found.push_back(it->path().string());
      }
      if (ec) err << "velmora-check: " << input << ": cannot be listed: " << ec.message() << "\n";
      std::sort(found.begin(), found.end());
      files.insert(files.end(), found.begin(), found.end());
    } else if (fs::exists(input, ec)) {
      files.push_back(input);
    } else {
      err << "velmora-check: " << input << ": no such file or folder\n";
    }
  }
  return files;
}

// Of two logs of one call the one whose file name sorts later stays.
std::vector<Entrant> DropSecondLogs(std::vector<Entrant> logs, std::ostream& err) {
  auto later = [](const Entrant& a, const Entrant& b) {
    const std::string na = fs::path(a.file).filename().string(), nb = fs::path(b.file).filename().string();
    return na != nb ? na < nb : a.file < b.file;
  };
  std::sort(logs.begin(), logs.end(), [&](const Entrant& a, const Entrant& b) {
    return a.call != b.call ? a.call < b.call : later(a, b);
  });
  std::vector<Entrant> kept;
  for (std::size_t i = 0; i < logs.size(); ++i) {
    if (i + 1 < logs.size() && logs[i + 1].call == logs[i].call) {
      err << "velmora-check: " << logs[i].file << ": a second log of " << logs[i].call
          << "; " << logs[i + 1].file << " is checked instead\n";
      continue;
    }
    kept.push_back(std::move(logs[i]));
  }
  return kept;
}

// What the run needs before any log: the country file, the rulings and the
// known calls.
struct References {
  CountryFile cty;
  std::vector<RulingLine> rulings;
  KnownCalls known;
};

std::optional<References> LoadReferences(const CheckOptions& o, std::ostream& err) {
  References refs;
  try {
    std::optional<std::string> text = ReadWhole(o.cty_file);
    if (!text) throw LogReadError(o.cty_file + ": cannot be read");
    refs.cty = CountryFile::Parse(*text, o.cty_file);
    if (!o.rulings_file.empty()) {
      std::optional<std::string> r = ReadWhole(o.rulings_file);
      if (!r) throw LogReadError(o.rulings_file + ": cannot be read");
      refs.rulings = ParseRulings(*r, o.rulings_file);
    }
    if (!o.calls_file.empty()) {
      std::optional<std::string> k = ReadWhole(o.calls_file);
      if (!k) throw LogReadError(o.calls_file + ": cannot be read");
      refs.known = ParseKnownCalls(*k);
    }
  } catch (const std::exception& e) {
    err << "velmora-check: " << e.what() << "\n";
    return std::nullopt;
  }
  return refs;
}

using Say = std::function<void(const std::string&)>;

// Every file read into the contest (in parallel), the later of two logs of
// one call kept.
void ReadLogs(const std::vector<std::string>& files, const CountryFile& cty, const CheckOptions& o,
              Contest& contest, const Say& say, std::ostream& err) {
  std::mutex tables_mutex;
  std::vector<std::optional<Entrant>> read(files.size());
  std::atomic<std::size_t> done{0};
  {
    std::vector<Intake> intakes;
    for (int j = 0; j < o.jobs; ++j) intakes.emplace_back(cty, contest, tables_mutex);
    ParallelForWorkers(files.size(), o.jobs, [&](std::size_t i, int worker) {
      std::vector<std::string> problems;
      if (std::optional<std::string> text = ReadWhole(files[i]))
        read[i] = intakes[static_cast<std::size_t>(worker)].Read(*text, files[i], problems);
      else
        problems.push_back(files[i] + ": cannot be read; file skipped");
      for (const std::string& p : problems) say("velmora-check: " + p);
      std::size_t n = ++done;
      if (!o.quiet && (n % kProgressEvery == 0 || n == files.size()))
        say("velmora-check: " + std::to_string(n) + " of " + std::to_string(files.size()) +
            " files read");
    });
  }
  std::vector<Entrant> entrants;
  for (std::optional<Entrant>& e : read)
    if (e) entrants.push_back(std::move(*e));
  contest.logs = DropSecondLogs(std::move(entrants), err);
}

// The verdicts, the organisers' rulings over them, and the checked scores.
void JudgeAndScore(Contest& contest, const CheckOptions& o, const References& refs,
                   std::ostream& err) {
  MatchOptions match;
  match.window_minutes = o.window_minutes;
  match.serial_window_minutes = o.serial_window_minutes;
  match.clock_offsets = o.clock_offsets;
  auto minutes = [](const COleDateTime& t) {
    return static_cast<std::int64_t>(std::llround(t.LinearDays() * 1440.0));
  };
  if (o.start) match.start = minutes(*o.start);
  if (o.end) match.end = minutes(*o.end);
  match.jobs = o.jobs;
  match.infer.rare_holders = static_cast<std::uint32_t>(o.bust_rare_holders);
  match.infer.common_holders = static_cast<std::uint32_t>(o.bust_common_holders);
  match.infer.serial_tolerance = o.bust_serial_tolerance;
  match.infer.serial_window = o.bust_serial_window;
  match.known = refs.known;
  JudgeContest(contest, match);
  for (const std::string& p : ApplyRulings(contest, refs.rulings, o.rulings_file))
    err << "velmora-check: " << p << "\n";
  ScoreChecked(contest, ScoreOptions{o.keep_uniques, o.penalty, o.jobs});
  if (!o.quiet) err << "velmora-check: " << contest.logs.size() << " logs matched\n";
}

// qsos.csv, results.csv, results.html and every report, replaced together
// (each file atomic, all flushed to the disk at once); false when a file
// could not be written (each is said).
bool WriteOutputs(const Contest& contest, const fs::path& out, int jobs, const Say& say) {
  std::error_code ec;
  fs::create_directories(out / "reports", ec);
  if (ec) {
    say("velmora-check: cannot make " + (out / "reports").string() + ": " + ec.message());
    return false;
  }
  const std::vector<Standing> standings = RankEntrants(contest);
  const LoggedBy logged_by = QsosLoggedBy(contest);
  ReplaceBatch batch(Files());
  std::atomic<bool> failed{false};
  auto write = [&](const fs::path& path, const std::string& text) {
    if (!batch.Add(path.string(), text)) {
      failed = true;
      say("velmora-check: could not write " + path.string());
    }
  };
  {
    std::string qsos = kQsosCsvHeader;
    for (std::size_t i = 0; i < contest.logs.size(); ++i) qsos += QsosCsvRows(contest, i);
    write(out / "qsos.csv", qsos);
  }
  write(out / "results.csv", ResultsCsv(contest, standings));
  write(out / "results.html", ResultsHtml(contest, standings));
  ParallelFor(contest.logs.size(), jobs, [&](std::size_t i) {
    const std::string name = ReportName(contest.logs[i].call);
    write(out / "reports" / (name + ".txt"), ReportText(contest, i, logged_by[i]));
    write(out / "reports" / (name + ".json"), ReportJson(contest, i, logged_by[i]));
  });
  for (const std::string& path : batch.Commit()) {
    failed = true;
    say("velmora-check: could not write " + path);
  }
  return !failed;
}

// The summary line: logs, QSO lines and the count of each verdict.
void SaySummary(const Contest& contest, const fs::path& out, std::ostream& err) {
  std::array<long long, kVerdictCount> verdicts{};
  long long lines = 0;
  for (const Entrant& e : contest.logs)
    for (const CheckQso& q : e.qsos) ++verdicts[static_cast<std::size_t>(q.verdict)], ++lines;
  err << "velmora-check: " << contest.logs.size() << " logs, " << lines << " QSO lines:";
  for (int v = 0; v < kVerdictCount; ++v)
    err << " " << VerdictName(static_cast<Verdict>(v)) << " " << verdicts[static_cast<std::size_t>(v)];
  err << "; results in " << out.string() << "\n";
}

}  // namespace

int RunCheck(const CheckOptions& o, std::ostream& err) {
  std::mutex err_mutex;
  const Say say = [&](const std::string& text) {
    std::lock_guard lock(err_mutex);
    err << text << "\n";
  };
  const std::optional<References> refs = LoadReferences(o, err);
  if (!refs) return kCheckBadInput;
  Contest contest;
  ReadLogs(ListInputs(o, err), refs->cty, o, contest, say, err);
  if (contest.logs.empty()) {
    err << "velmora-check: no log to check\n";
    return kCheckBadInput;
  }
  JudgeAndScore(contest, o, *refs, err);
  const fs::path out(o.out_dir);
  const bool written = WriteOutputs(contest, out, o.jobs, say);
  SaySummary(contest, out, err);
  return written ? kCheckOk : kCheckFailed;
}

}  // namespace velmora::check
