#include "replay/replay_session.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <fstream>
#include <sstream>

#include "plugin/exports.h"
#include "platform/posix/posix_file_system.h"
#include "readers/adif_reader.h"
#include "readers/cabrillo_reader.h"
#include "readers/country_file.h"
#include "replay/handover_scenario.h"
#include "replay/replay_report.h"
#include "replay/replay_window_system.h"

namespace velmora::replay {

namespace fs = std::filesystem;

namespace {

struct Summary {
  int read = 0, stored = 0, dupes = 0, rejected = 0, unknown = 0;
};

// The station of the run, as the host would pass it.
struct StationArgs {
  std::string call, prefix, continent;
  COleDateTime start, end;
};

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw LogReadError(path + ": cannot be read");
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

bool IsAdifName(const std::string& path) {
  std::string ext = fs::path(path).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext == ".adi" || ext == ".adif";
}

ParsedLog ReadLog(const std::string& path) {
  std::string text = ReadWhole(path);
  bool adif = IsAdifName(path) ||
              (fs::path(path).extension() != ".cbr" && fs::path(path).extension() != ".log" &&
               text.find("START-OF-LOG") == std::string::npos);
  return adif ? ReadAdif(text, path) : ReadCabrillo(text, path);
}

StationArgs Station(const ReplayOptions& o, const ParsedLog& log, const CountryFile& cty,
                    std::ostream& err) {
  StationArgs s;
  s.call = o.call.empty() ? log.own_call : o.call;
  if (s.call.empty()) throw LogReadError(o.log_file + ": the log names no own call; give --call");
  if (auto own = cty.Lookup(s.call)) {
    s.prefix = own->key;
    s.continent = own->continent;
  } else {
    err << "velmora-replay: own call " << s.call << " has no entity in " << o.cty_file << "\n";
  }
  auto [first, last] = std::minmax_element(
      log.qsos.begin(), log.qsos.end(),
      [](const LogQso& a, const LogQso& b) { return a.time.Days() < b.time.Days(); });
  COleDateTime none(0.0, COleDateTime::kNull);
  s.start = o.start ? *o.start : (log.qsos.empty() ? none : first->time);
  s.end = o.end ? *o.end : (log.qsos.empty() ? none : last->time);
  return s;
}

void Reset(const StationArgs& s, int export_flag, HandOverScenario* scenario = nullptr) {
  if (scenario) scenario->Reset(s.call, s.start, s.end, s.prefix, s.continent);
  COleDateTime start = s.start, end = s.end;
  const char* e = "";
  ResetStats0("", export_flag, s.call.c_str(), &start, &end, e, e, e, e, e, e, e, e, e,
              s.prefix.c_str(), 0, 0, 0, 0.0, 0.0, e, s.continent.c_str(), e);
}

// Hands every QSO over as the host does; counts what became of them.
Summary HandOver(const ParsedLog& log, const StationArgs& station, const CountryFile& cty,
                 ReplayReportNotes* notes = nullptr, HandOverScenario* scenario = nullptr) {
  Summary sum;
  const char* e = "";
  for (const LogQso& q : log.qsos) {
    ++sum.read;
    std::optional<Entity> entity = cty.Lookup(q.call);
    if (!entity) ++sum.unknown;
    std::string prefix = entity ? entity->key : "";
    std::string continent = entity ? entity->continent : "";
    const std::string& own = q.own_call.empty() ? station.call : q.own_call;
    if (scenario) {
      scenario->Check(q.call, q.mode, prefix, q.band);
      scenario->Add(own, q.call, q.time, q.freq_hz, q.mode, q.rst_sent, q.nr_sent, q.rst_rcvd,
                    q.nr_rcvd, prefix, continent, q.band);
    }
    int code = CheckCall0(q.call.c_str(), 0, 0, q.mode.c_str(), e, e, e, e, e, e, e, e, e,
                          prefix.c_str(), 0, 0, 0, 0.0, 0.0, e, e, e, e, e, q.band.c_str(),
                          e, nullptr, nullptr);
    COleDateTime time = q.time;
    int stored = AddData0(own.c_str(), q.call.c_str(), &time, nullptr, nullptr, nullptr, 0,
                          q.freq_hz, q.mode.c_str(), q.rst_sent.c_str(), q.rst_rcvd.c_str(),
                          q.nr_sent.c_str(), q.nr_rcvd.c_str(), e, e, e, e, e, e, e, e, e,
                          prefix.c_str(), 0, 0, 0, 0.0, 0.0, e, continent.c_str(), e,
                          q.band.c_str(), e);
    if (notes) notes->Note(q, entity, own, stored != 0);
    if (!stored) ++sum.rejected;
    else if (code == 0) ++sum.dupes, ++sum.stored;
    else ++sum.stored;
  }
  return sum;
}

// Restores the current folder when the replay ends, however it ends.
class FolderGuard {
 public:
  explicit FolderGuard(const std::string& dir) : old_(fs::current_path()) {
    fs::create_directories(fs::path(dir) / "Plugins");
    fs::current_path(dir);
  }
  ~FolderGuard() {
    std::error_code ignored;
    fs::current_path(old_, ignored);
  }

 private:
  fs::path old_;
};

std::string Absolute(const std::string& path) {
  return path.empty() ? path : fs::absolute(path).string();
}

}  // namespace

int RunReplay(const ReplayOptions& options, std::ostream& out, std::ostream& err) {
  ParsedLog log;
  CountryFile cty;
  StationArgs station;
  try {
    log = ReadLog(options.log_file);
    cty = CountryFile::Parse(ReadWhole(options.cty_file), options.cty_file);
    station = Station(options, log, cty, err);
  } catch (const LogReadError& e) {
    err << "velmora-replay: " << e.what() << "\n";
    return kReplayBadInput;
  }
  for (const LogProblem& p : log.skipped)
    err << options.log_file << ":" << p.line << ": skipped: " << p.message << "\n";

  const std::string html_file = Absolute(options.html_file);
  const std::string report_file = Absolute(options.report_file);
  const std::string scenario_file = Absolute(options.scenario_file);
  int status = kReplayOk;
  try {
    FolderGuard folder(options.dir);
    std::optional<HandOverScenario> scenario;
    if (!scenario_file.empty()) scenario.emplace();
    HandOverScenario* calls = scenario ? &*scenario : nullptr;
    Reset(station, 0, calls);
    ReplayReportNotes notes;
    Summary sum = HandOver(log, station, cty, report_file.empty() ? nullptr : &notes, calls);
    int ignored = 0;
    out << GetResult0(&ignored) << "\n";
    if (calls) calls->Result();
    if (!html_file.empty()) {
      if (calls) calls->Version("velmora-replay"), calls->Result();
      setVersion("velmora-replay");
      PosixFileSystem files;
      if (!files.ReplaceFile(html_file, GetResult0(&ignored))) {
        err << "velmora-replay: could not write " << html_file << "\n";
        status = kReplayFailed;
      }
    }
    if (!report_file.empty() && !WriteReplayReport(report_file, std::move(notes), station.start,
                                                   station.end, options.break_minutes)) {
      err << "velmora-replay: could not write " << report_file << "\n";
      status = kReplayFailed;
    }
    if (scenario && !PosixFileSystem().ReplaceFile(scenario_file, scenario->text())) {
      err << "velmora-replay: could not write " << scenario_file << "\n";
      status = kReplayFailed;
    }
    if (options.cabrillo) {
      TheReplayWindows().set_header(options.header);
      Reset(station, 1);
      HandOver(log, station, cty);
      GetResult0(&ignored);
      const auto& messages = TheReplayWindows().messages();
      if (messages.empty() || messages.back().rfind("File produced: ", 0) != 0)
        status = kReplayFailed;
    }
    err << "velmora-replay: " << sum.read + static_cast<int>(log.skipped.size())
        << " QSOs read, " << sum.stored << " stored, " << sum.dupes << " dupes, "
        << sum.rejected << " rejected, " << log.skipped.size() << " skipped, "
        << sum.unknown << " unknown prefixes\n";
  } catch (const fs::filesystem_error& e) {
    err << "velmora-replay: " << e.what() << "\n";
    return kReplayFailed;
  } catch (const std::invalid_argument& e) {
    err << "velmora-replay: --scenario: " << e.what() << "\n";
    return kReplayBadInput;
  }
  return status;
}

}  // namespace velmora::replay
