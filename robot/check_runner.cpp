#include "robot/check_runner.h"

#include <filesystem>
#include <fstream>
#include <streambuf>

#include "check/check_options.h"
#include "check/check_run.h"
#include "check/standings.h"
#include "robot/robot_json.h"

namespace velmora::robot {

namespace fs = std::filesystem;

namespace {

// The text with every occurrence of `part` taken out.
std::string Without(std::string text, const std::string& part) {
  for (std::size_t at; !part.empty() && (at = text.find(part)) != std::string::npos;)
    text.erase(at, part.size());
  return text;
}

// What the check says, a line at a time: the last line is the run's progress
// on the console, all of them its messages.
class ProgressBuffer : public std::streambuf {
 public:
  // `hidden`: the run's own folder, left out of the lines (the organisers
  // know the logs by their names).
  ProgressBuffer(OrganiserStore& store, std::int64_t run, std::string hidden)
      : store_(store), run_(run), hidden_(std::move(hidden)) {}
  const std::string& all() const { return all_; }

 protected:
  int overflow(int c) override {
    if (c == traits_type::eof()) return traits_type::not_eof(c);
    if (c != '\n') {
      line_ += static_cast<char>(c);
      return c;
    }
    line_ = Without(std::move(line_), hidden_);
    all_ += line_ + "\n";
    try {
      store_.SetProgress(run_, line_);
    } catch (const std::exception&) {
      // The progress is for the eye only; the run goes on.
    }
    line_.clear();
    return c;
  }

 private:
  OrganiserStore& store_;
  std::int64_t run_;
  std::string hidden_, line_, all_;
};

bool WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

// A ruling's reason on one line of the rulings file.
std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text;
}

// The check's settings of a run, as its defaults are (the robot sets only
// the period, the country file and the rulings).
std::string SettingsJson(const RobotConfig& c, int logs, int rulings) {
  const check::CheckOptions d;
  Json json = {{"logs", logs},
               {"rulings", rulings},
               {"window_minutes", d.window_minutes},
               {"serial_window_minutes", d.serial_window_minutes},
               {"uniques", d.keep_uniques ? "keep" : "remove"},
               {"penalty", d.penalty}};
  if (c.contest_start) json["start"] = c.contest_start->Format("%Y-%m-%d %H:%M");
  if (c.contest_end) json["end"] = c.contest_end->Format("%Y-%m-%d %H:%M");
  return DumpJson(json);
}

}  // namespace

CheckRunner::CheckRunner(const RobotConfig& config, OrganiserStore& store, std::string work_dir,
                         Clock clock)
    : config_(config), store_(store), work_dir_(std::move(work_dir)), clock_(std::move(clock)) {
  store_.MarkInterruptedRuns();
  std::error_code ec;
  fs::remove_all(work_dir_, ec);  // what a stopped run left
}

CheckRunner::~CheckRunner() {
  if (thread_.joinable()) thread_.join();
  for (std::thread& t : finished_) t.join();
}

std::optional<std::int64_t> CheckRunner::Start(const std::string& organiser) {
  std::lock_guard lock(mutex_);
  if (running_) return std::nullopt;
  std::optional<std::int64_t> run = store_.StartRun(SettingsJson(config_, 0, 0), organiser,
                                                    clock_());
  if (!run) return std::nullopt;
  // The last run's thread may still be removing its files; it is joined at
  // the end, not waited for here.
  if (thread_.joinable()) finished_.push_back(std::move(thread_));
  running_ = true;
  thread_ = std::thread([this, id = *run] { Run(id); });
  return run;
}

void CheckRunner::WaitIdle() {
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [this] { return !running_; });
}

void CheckRunner::Run(std::int64_t run) {
  const std::string dir = (fs::path(work_dir_) / ("run-" + std::to_string(run))).string();
  std::optional<std::string> error;
  try {
    error = RunIn(run, dir);
  } catch (const std::exception& e) {
    error = e.what();
  }
  if (error) {
    try {
      store_.FailRun(run, *error, clock_());
    } catch (const std::exception&) {
      // Left "running", it is marked interrupted at the next start.
    }
  }
  {
    std::lock_guard lock(mutex_);
    running_ = false;
    idle_.notify_all();
  }
  // The run's files go once it is answered: tens of thousands of them take a
  // while to remove, and a robot stopped meanwhile removes them at its start.
  std::error_code ec;
  fs::remove_all(dir, ec);
}

std::optional<std::string> CheckRunner::RunIn(std::int64_t run, const std::string& dir) {
  const std::vector<Submission> logs = store_.CountedLogs();
  if (logs.empty()) return "no counted log to check";
  const fs::path logs_dir = fs::path(dir) / "logs", out_dir = fs::path(dir) / "out";
  fs::remove_all(dir);
  fs::create_directories(logs_dir);
  RunOutput output;
  for (const Submission& s : logs) {
    if (!WriteFile(logs_dir / (check::ReportName(s.call) + ".log"), s.bytes))
      return "cannot write the logs for the check into " + dir;
    output.receipts.push_back(s.receipt);
  }
  std::string rulings = "log,line,verdict,reason\n";
  int ruling_count = 0;
  for (const RulingRecord& r : store_.Rulings()) {
    if (r.withdrawn) continue;
    rulings += r.call + "," + std::to_string(r.line) + "," + r.verdict + "," + OneLine(r.reason) +
               "\n";
    ++ruling_count;
  }
  check::CheckOptions options;
  options.inputs = {logs_dir.string()};
  options.out_dir = out_dir.string();
  options.cty_file = config_.cty_file;
  options.start = config_.contest_start;
  options.end = config_.contest_end;
  options.jobs = 2;
  options.rulings_file = (fs::path(dir) / "rulings.csv").string();
  if (!WriteFile(options.rulings_file, rulings)) return "cannot write the rulings into " + dir;

  ProgressBuffer progress(store_, run, (logs_dir / "").string());
  std::ostream progress_stream(&progress);
  const int status = check::RunCheck(options, progress_stream);
  progress_stream.flush();
  output.messages = progress.all();
  if (status != check::kCheckOk) return "the check ended with status " + std::to_string(status) +
                                        ":\n" + output.messages;
  for (auto [file, field] : {std::pair{"results.csv", &output.results_csv},
                             std::pair{"results.html", &output.results_html},
                             std::pair{"qsos.csv", &output.qsos_csv}}) {
    std::optional<std::string> text = files_.ReadFile((out_dir / file).string());
    if (!text) return std::string("the check wrote no ") + file;
    *field = std::move(*text);
  }
  // The reports name each log by its file: the name alone, not the run's
  // folder on this machine.
  const std::string folder = (logs_dir / "").string();
  for (const Submission& s : logs) {
    const fs::path base = out_dir / "reports" / check::ReportName(s.call);
    std::optional<std::string> txt = files_.ReadFile(base.string() + ".txt");
    std::optional<std::string> json = files_.ReadFile(base.string() + ".json");
    if (txt && json)
      output.reports.push_back({s.call, Without(*txt, folder), Without(*json, folder)});
  }
  output.settings = SettingsJson(config_, static_cast<int>(logs.size()), ruling_count);
  store_.FinishRun(run, output, clock_());
  return std::nullopt;
}

}  // namespace velmora::robot
