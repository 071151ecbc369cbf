#include "testing/scenario_runner.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "engine/text_format.h"

namespace velmora::testing {

namespace {

constexpr char kTranscriptName[] = "transcript.txt";

std::vector<std::string> Words(std::string_view line) {
  std::vector<std::string> words;
  std::istringstream in{std::string(line)};
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string line(text.substr(start, end - start));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

bool IsCommand(const std::string& line) {
  std::size_t first = line.find_first_not_of(" \t");
  return first != std::string::npos && line[first] != '#';
}

std::optional<std::string> ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The words of one command, read in order; a missing word is an error.
class Arguments {
 public:
  explicit Arguments(std::vector<std::string> words) : words_(std::move(words)) {}

  // "-" is the empty text, "~" a null pointer.
  const char* Text() {
    const std::string& word = Next();
    if (word == "~") return nullptr;
    if (word == "-") return "";
    return word.c_str();
  }
  int Number() {
    const std::string& word = Next();
    char* end = nullptr;
    long value = std::strtol(word.c_str(), &end, 10);
    if (end == word.c_str() || *end != '\0') throw std::runtime_error("not a number: " + word);
    return static_cast<int>(value);
  }
  unsigned int Unsigned() {
    const std::string& word = Next();
    char* end = nullptr;
    unsigned long value = std::strtoul(word.c_str(), &end, 10);
    if (end == word.c_str() || *end != '\0') throw std::runtime_error("not a number: " + word);
    return static_cast<unsigned int>(value);
  }
  // YYYY-MM-DD HH:MM, or "~" for no date-time at all.
  COleDateTime* Time(COleDateTime& storage) {
    const std::string& date = Next();
    if (date == "~") return nullptr;
    const std::string& time = Next();
    int year, month, day, hour, minute;
    char tail;
    if (std::sscanf(date.c_str(), "%4d-%2d-%2d%c", &year, &month, &day, &tail) != 3 ||
        std::sscanf(time.c_str(), "%2d:%2d%c", &hour, &minute, &tail) != 2)
      throw std::runtime_error("not a date and time: " + date + " " + time);
    storage = COleDateTime::FromParts(year, month, day, hour, minute, 0);
    return &storage;
  }
  void End() const {
    if (next_ != words_.size()) throw std::runtime_error("too many words");
  }

 private:
  const std::string& Next() {
    if (next_ >= words_.size()) throw std::runtime_error("missing words");
    return words_[next_++];
  }

  std::vector<std::string> words_;
  std::size_t next_ = 1;  // after the command
};

std::string Quoted(const char* text) {
  return text == nullptr ? std::string("null") : "\"" + std::string(text) + "\"";
}

using QsoFunction = decltype(&::AddData0);

int CallQso(QsoFunction function, Arguments& a) {
  const char* e = "";
  COleDateTime time;
  const char* own_call = a.Text();
  const char* call = a.Text();
  COleDateTime* when = a.Time(time);
  unsigned int freq_hz = a.Unsigned();
  const char* mode = a.Text();
  const char* rst_sent = a.Text();
  const char* nr_sent = a.Text();
  const char* rst_rcvd = a.Text();
  const char* nr_rcvd = a.Text();
  const char* prefix = a.Text();
  const char* continent = a.Text();
  const char* band = a.Text();
  a.End();
  return function(own_call, call, when, nullptr, nullptr, nullptr, 0, freq_hz, mode,
                  rst_sent, rst_rcvd, nr_sent, nr_rcvd, e, e, e, e, e, e, e, e, e, prefix,
                  0, 0, 0, 0.0, 0.0, e, continent, e, band, e);
}

// Runs one command; returns what goes after the command in the transcript.
std::string Run(const std::vector<std::string>& words, const EntryPoints& entry) {
  const std::string& command = words[0];
  Arguments a(words);
  const char* e = "";
  if (command == "reset") {
    COleDateTime start_storage, end_storage;
    const char* folder = a.Text();
    int export_flag = a.Number();
    const char* own_call = a.Text();
    COleDateTime* start = a.Time(start_storage);
    COleDateTime* end = a.Time(end_storage);
    const char* own_prefix = a.Text();
    const char* own_continent = a.Text();
    a.End();
    return StrFormat("%d", entry.reset_stats(folder, export_flag, own_call, start, end, e,
                                             e, e, e, e, e, e, e, e, own_prefix, 0, 0, 0,
                                             0.0, 0.0, e, own_continent, e));
  }
  if (command == "add") return StrFormat("%d", CallQso(entry.add_data, a));
  if (command == "remove") return StrFormat("%d", CallQso(entry.remove_data, a));
  if (command == "check") {
    const char* call = a.Text();
    const char* mode = a.Text();
    const char* prefix = a.Text();
    const char* band = a.Text();
    const char* band2 = a.Text();
    a.End();
    char serial[10] = "";
    char out28[10] = "";
    int code = entry.check_call(call, 0, 0, mode, e, e, e, e, e, e, e, e, e, prefix, 0, 0,
                                0, 0.0, 0.0, e, e, e, e, e, band, band2, serial, out28);
    return StrFormat("%d serial %s", code, Quoted(serial).c_str());
  }
  if (command == "valid") {
    const char* exchange = a.Text();
    a.End();
    return StrFormat("%d", entry.is_valid_exchange(exchange, e, e, e, 0, 0, 0));
  }
  if (command == "count") {
    a.End();
    return StrFormat("%d", entry.get_exchange_count(e, e, e));
  }
  if (command == "sets") {
    a.End();
    return StrFormat("%d", entry.get_number_of_sets());
  }
  if (command == "name") {
    int index = a.Number();
    a.End();
    return Quoted(entry.get_set_name(index));
  }
  if (command == "result") {
    a.End();
    int score = 0;
    const char* text = entry.get_result(&score);
    std::string shown = text == nullptr ? std::string() : std::string(text);
    return StrFormat("score %d, %d bytes\n", score, static_cast<int>(shown.size())) + shown;
  }
  if (command == "setup") {
    a.End();
    entry.setup_set();
    return "done";
  }
  if (command == "version") {
    const char* version = a.Text();
    a.End();
    return StrFormat("%lu", entry.set_version(version));
  }
  throw std::runtime_error("unknown command");
}

}  // namespace

std::string RunScenario(std::string_view scenario, const EntryPoints& entry) {
  std::string transcript;
  for (const std::string& line : Lines(scenario)) {
    if (!IsCommand(line)) continue;
    std::vector<std::string> words = Words(line);
    if (words[0] == "expect") continue;
    transcript += line + " -> ";
    try {
      transcript += Run(words, entry) + "\n";
    } catch (const std::exception& error) {
      transcript += std::string("error: ") + error.what() + "\n";
      break;
    }
  }
  return transcript;
}

std::vector<ExpectedFile> ExpectedFiles(std::string_view scenario) {
  std::vector<ExpectedFile> files;
  for (const std::string& line : Lines(scenario)) {
    std::vector<std::string> words = Words(line);
    if (words.size() == 3 && words[0] == "expect") files.push_back({words[1], words[2]});
  }
  return files;
}

std::vector<FileComparison> RunScenarioFile(const std::string& path,
                                            const EntryPoints& entry) {
  std::vector<FileComparison> comparisons;
  std::optional<std::string> scenario = ReadWhole(path);
  if (!scenario) {
    comparisons.push_back({path, "<missing>", "<a scenario>"});
    return comparisons;
  }
  std::ofstream(kTranscriptName, std::ios::binary) << RunScenario(*scenario, entry);

  std::size_t slash = path.find_last_of("/\\");
  std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  for (const ExpectedFile& file : ExpectedFiles(*scenario)) {
    comparisons.push_back({file.output, ReadWhole(file.output).value_or("<missing>"),
                           ReadWhole(folder + file.golden).value_or("<missing golden>")});
  }
  return comparisons;
}

}  // namespace velmora::testing
