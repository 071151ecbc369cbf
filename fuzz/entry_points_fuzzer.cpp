// Random sequences of the host's calls through the exported functions, with
// random texts (null, empty, long, non-ASCII, printf directives, cut at a
// NUL as the host's C strings are), on a module with in-memory services.
// After every call: the answers, the score and the bad-QSO file agree with
// the plain-scan yardstick, the bad-QSO file is a heading and well-formed
// lines, the result is the expected text, and CheckCall0 writes at most 10
// bytes of its buffer.

#include <fuzzer/FuzzedDataProvider.h>

#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "engine/bad_qso_line.h"
#include "plugin/exports.h"
#include "platform/text_lines.h"
#include "results/bad_qso_file.h"
#include "results/cabrillo_file_name.h"
#include "results/result_page.h"
#include "results/result_text.h"
#include "plugin/module_instance.h"
#include "testing/module_fixture.h"
#include "testing/plain_scan_engine.h"
#include "fuzz/float_traps.h"

namespace velmora {

namespace {
testing::ModuleFixture* fixture = nullptr;  // the module of the current input
}  // namespace

Module& TheModule() { return fixture->module; }

namespace {

// A text argument: nullopt is a null pointer.
using HostText = std::optional<std::string>;

const char* Pass(const HostText& text) { return text ? text->c_str() : nullptr; }
// What the plug-in reads: up to the first NUL, a null pointer as empty.
std::string Seen(const HostText& text) { return text ? std::string(text->c_str()) : ""; }

[[noreturn]] void Broken(const char* invariant, const std::string& detail = "") {
  std::fprintf(stderr, "invariant broken: %s\n%s\n", invariant, detail.c_str());
  std::abort();
}

void Require(bool holds, const char* invariant, const std::string& detail = "") {
  if (!holds) Broken(invariant, detail);
}

struct HostQso {
  HostText own_call, call, mode, rst_sent, rst_rcvd, nr_sent, nr_rcvd, prefix, continent,
      band;
  std::optional<COleDateTime> time;
  unsigned int freq_hz = 0;

  QsoArgs Args() const {
    QsoArgs q;
    q.own_call = Seen(own_call);
    q.call = Seen(call);
    q.time = time.value_or(COleDateTime(0.0, COleDateTime::kNull));
    q.freq_hz = freq_hz;
    q.mode = Seen(mode);
    q.rst_sent = Seen(rst_sent);
    q.rst_rcvd = Seen(rst_rcvd);
    q.nr_sent = Seen(nr_sent);
    q.nr_rcvd = Seen(nr_rcvd);
    q.prefix = Seen(prefix);
    q.continent = Seen(continent);
    q.band = Seen(band);
    return q;
  }
};

// Draws the host's arguments from the fuzzer's bytes: mostly values a
// logger passes, sometimes anything.
class HostDraw {
 public:
  explicit HostDraw(FuzzedDataProvider& input) : input_(input) {}

  HostText Text(std::initializer_list<const char*> usual) {
    switch (input_.ConsumeIntegralInRange(0, 9)) {
      case 0: return std::nullopt;
      case 1: return std::string();
      case 2: return input_.ConsumeRandomLengthString(24);
      case 3: {
        static const char* const kDirectives[] = {"%s%n", "%s%s%s%s", "%99999d", "%n%n%n",
                                                  "%x%p%%", "\xd0\x9f\xd1\x80%", "%"};
        return kDirectives[input_.ConsumeIntegralInRange<std::size_t>(0, 6)];
      }
      case 4: {
        std::string seed = input_.ConsumeRandomLengthString(4);
        std::string text;
        const int copies = input_.ConsumeIntegralInRange(4, 600);
        for (int i = 0; i < copies; ++i) text += seed.empty() ? "W" : seed;
        return text;
      }
      default: {
        const std::size_t i = input_.ConsumeIntegralInRange<std::size_t>(0, usual.size() - 1);
        return std::string(usual.begin()[i]);
      }
    }
  }

  HostText Call() {
    return Text({"F5ABC", "f5abc", "DL1A", "W1AW", "IT9X", "JA1Z", "UA3A/P", "OK1XX"});
  }
  HostText Band() { return Text({"20m", "20M", "40m", "10m", "160m", "80m", "15m", "30m"}); }
  HostText Mode() { return Text({"CW", "CW", "CW", "cw", "SSB"}); }
  HostText Prefix() { return Text({"F", "DL", "K", "IT9", "IG9", "I", "JA", "UA"}); }
  HostText Continent() { return Text({"EU", "NA", "AS", "AF"}); }

  std::optional<COleDateTime> Time() {
    switch (input_.ConsumeIntegralInRange(0, 8)) {
      case 0: return std::nullopt;
      case 1: return COleDateTime(input_.ConsumeFloatingPoint<double>(), Status());
      case 2:
        return COleDateTime(input_.ConsumeIntegralInRange(-700000, 3000000) / 7.0, Status());
      case 3:  // any bits: NaNs (signalling too), infinities, huge values
        return COleDateTime(std::bit_cast<double>(input_.ConsumeIntegral<std::uint64_t>()),
                            Status());
      default:
        return testing::At(input_.ConsumeIntegralInRange(0, 23),
                           input_.ConsumeIntegralInRange(0, 59) / 5 * 5, 0,
                           input_.ConsumeIntegralInRange(2, 5));
    }
  }

  HostQso Qso() {
    HostQso q;
    q.own_call = Text({"DL1ABC"});
    q.call = Call();
    q.time = Time();
    q.freq_hz = input_.ConsumeBool() ? 14025300u : input_.ConsumeIntegral<unsigned int>();
    q.mode = Mode();
    q.rst_sent = Text({"599"});
    q.rst_rcvd = Text({"599", "579"});
    q.nr_sent = Text({"001", "1432"});
    q.nr_rcvd = Text({"042", "001", "1432", "1234567890123"});
    q.prefix = Prefix();
    q.continent = Continent();
    q.band = Band();
    return q;
  }

  int Number(int low, int high) { return input_.ConsumeIntegralInRange(low, high); }
  bool Chance(int percent) { return Number(0, 99) < percent; }

 private:
  COleDateTime::Status Status() {
    return static_cast<COleDateTime::Status>(input_.ConsumeIntegralInRange(0, 2));
  }

  FuzzedDataProvider& input_;
};

// The rejected count of the result: lines of the bad-QSO file in which
// neither "DUPE" nor "UBN" follows the first character.
int RejectedLines(const std::string& file) {
  int count = 0;
  for (const std::string& line : SplitLines(file)) {
    bool counts = true;
    for (const char* word : {"DUPE", "UBN"}) {
      std::size_t at = line.find(word);
      if (at != std::string::npos && at > 0) counts = false;
    }
    count += counts ? 1 : 0;
  }
  return count;
}

// The heading, then lines "QSO:  " ... verdict CR LF, with no other line end.
void RequireWellFormedBadQsoFile(const std::string& file) {
  Require(file.starts_with(kUbnHeading), "bad-QSO file starts with its heading", file);
  std::string_view rest = std::string_view(file).substr(std::string_view(kUbnHeading).size());
  while (!rest.empty()) {
    const std::size_t end = rest.find("\r\n");
    Require(end != std::string_view::npos, "bad-QSO line ends in CR LF", std::string(rest));
    const std::string_view line = rest.substr(0, end);
    Require(line.starts_with("QSO:  "), "bad-QSO line starts with QSO:", std::string(line));
    Require(line.find_first_of("\r\n") == std::string_view::npos,
            "bad-QSO line holds no other line end", std::string(line));
    bool verdict = false;
    for (const char* text : {VerdictText(Verdict::kWrongBand), VerdictText(Verdict::kWrongMode),
                             VerdictText(Verdict::kNoRxNumber), kDupeText})
      verdict = verdict || line.ends_with(text);
    Require(verdict, "bad-QSO line ends with a verdict", std::string(line));
    rest.remove_prefix(end + 2);
  }
}

// One input: a module on fakes, the yardstick beside it, the host's calls.
class Session {
 public:
  explicit Session(FuzzedDataProvider& input) : draw_(input) {
    fixture = &fixture_;
    if (draw_.Chance(30)) {
      fixture_.files.folders["host/"] = {"Vemo2.ini"};
      fixture_.files.files["host/Vemo2.ini"] =
          draw_.Chance(50) ? "Vemo=2.19\r\n" : "Vemo=" + Seen(draw_.Text({"2.20", "2.18"}));
    }
    plain_.Reset(fixture_.module.StationCopy());
  }
  ~Session() { fixture = nullptr; }

  void Step() {
    const int op = draw_.Number(0, 99);
    if (op < 6) Reset();
    else if (op < 50) Add();
    else if (op < 65) Remove();
    else if (op < 85) Check();
    else if (op < 93) Result();
    else if (op < 95) Announce();
    else Others();
    CheckFiles();
  }

 private:
  void Reset() {
    const HostText folder = draw_.Text({"host/", "host/", ""});
    const int export_flag = draw_.Chance(70) ? 0 : draw_.Number(-2, 2);
    const HostText own_call = draw_.Text({"DL1ABC", "UA3A", "W1AW/4"});
    std::optional<COleDateTime> start = draw_.Time(), end = draw_.Time();
    const HostText own_prefix = draw_.Prefix(), own_continent = draw_.Continent();
    ::ResetStats0(Pass(folder), export_flag, Pass(own_call), start ? &*start : nullptr,
                  end ? &*end : nullptr, "", "", "", "", "", "", "", "", "",
                  Pass(own_prefix), 0, 0, 0, 0.0, 0.0, "", Pass(own_continent), "");
    plain_.Reset(fixture_.module.StationCopy());
    export_ = export_flag != 0;
    started_ = true;
    Require(fixture_.files.files["err.txt"] == kUbnHeading, "err.txt holds the heading");
  }

  // AddData0 or RemoveData0 with all 33 arguments.
  int Hand(bool remove, const HostQso& q) {
    COleDateTime other(0.0, COleDateTime::kNull);
    COleDateTime time = q.time.value_or(other);
    auto* entry = remove ? &::RemoveData0 : &::AddData0;
    return entry(Pass(q.own_call), Pass(q.call), q.time ? &time : nullptr, &other, &other,
                 &other, 0u, q.freq_hz,
                 Pass(q.mode), Pass(q.rst_sent), Pass(q.rst_rcvd), Pass(q.nr_sent),
                 Pass(q.nr_rcvd), "", "", "", "", "", "", "", "", "", Pass(q.prefix), 0, 0, 0,
                 0.0, 0.0, "", Pass(q.continent), "", Pass(q.band), "");
  }

  void Add() {
    HostQso q = draw_.Qso();
    const int expected = plain_.Add(q.Args());
    Require(Hand(false, q) == expected, "AddData0 answers like the yardstick");
    handed_over_.push_back(std::move(q));
  }

  void Remove() {
    HostQso q = handed_over_.empty() || draw_.Chance(20)
                    ? draw_.Qso()
                    : handed_over_[static_cast<std::size_t>(
                          draw_.Number(0, static_cast<int>(handed_over_.size()) - 1))];
    plain_.Remove(q.Args());
    Require(Hand(true, q) == 1, "RemoveData0 answers 1");
  }

  void Check() {
    const HostText call = draw_.Call(), mode = draw_.Mode(), prefix = draw_.Prefix();
    const HostText band = draw_.Band();
    const HostText band2 = draw_.Chance(80) ? HostText() : draw_.Band();
    CheckCallArgs args{Seen(call), Seen(mode), Seen(prefix), Seen(band), Seen(band2),
                       band2.has_value()};
    const CallCheckResult expected = plain_.Check(args, fixture_.module.host_version());

    constexpr char kCanary = '\x5a';
    char buffer[64];
    std::memset(buffer, kCanary, sizeof buffer);
    const bool with_buffer = draw_.Chance(90);
    const int code = ::CheckCall0(Pass(call), 0, 0, Pass(mode), "", "", "", "", "", "", "",
                                  "", "", Pass(prefix), 0, 0, 0, 0.0, 0.0, "", "", "", "", "",
                                  Pass(band), Pass(band2), with_buffer ? buffer : nullptr,
                                  nullptr);
    Require(code == expected.code, "CheckCall0 answers like the yardstick");
    for (std::size_t i = 10; i < sizeof buffer; ++i)
      Require(buffer[i] == kCanary, "CheckCall0 writes at most 10 bytes");
    if (!with_buffer) return;
    if (expected.workable) {
      const std::string serial = expected.remembered_serial.substr(0, 9);
      Require(std::string(buffer) == serial, "CheckCall0 gives the remembered serial",
              std::string(buffer));
    } else {
      Require(buffer[0] == kCanary, "an unworkable call leaves the buffer alone");
    }
  }

  void Result() {
    int score = 12345;
    const std::string text = ::GetResult0(draw_.Chance(90) ? &score : nullptr);
    Require(score == -1 || score == 12345, "GetResult0 gives -1 as its score");
    const ScoreSheet sheet = plain_.Score(export_);
    const Station station = fixture_.module.StationCopy();
    const std::string& name = fixture_.module.bad_qso_file_name();
    const int rejected = name.empty() ? 0 : RejectedLines(fixture_.files.files[name]);
    const ResultView view{sheet, station, export_, rejected};
    const std::string expected = announced_ ? RenderResultPage(view) : RenderResultText(view);
    Require(expected.find('\0') == std::string::npos, "the result holds no NUL");
    Require(text == expected, "GetResult0 gives the yardstick's result", text + "\n" + expected);
    Require(fixture_.module.claimed_score() == sheet.score, "the claimed score is the score");
    if (export_) RequireWellFormedCabrilloFile(fixture_.files.files[CabrilloFileBase(
                     station.StationCall) + ".cbr"]);
  }

  // Whole CR LF lines, one QSO line per stored QSO, and the end line last.
  void RequireWellFormedCabrilloFile(const std::string& file) {
    Require(file.ends_with("END-OF-LOG:\r\n"), "the Cabrillo file is complete", file);
    std::size_t qso_lines = 0;
    for (std::size_t at = 0; at < file.size();) {
      const std::size_t end = file.find("\r\n", at);
      Require(end != std::string::npos, "Cabrillo lines end in CR LF", file.substr(at));
      const std::string line = file.substr(at, end - at);
      Require(line.find_first_of("\r\n") == std::string::npos,
              "a Cabrillo line holds no other line end", line);
      qso_lines += line.starts_with("QSO: ") ? 1 : 0;
      at = end + 2;
    }
    Require(qso_lines == plain_.log().size(), "one Cabrillo QSO line per stored QSO", file);
  }

  void Announce() {
    ::setVersion(Pass(draw_.Text({"2.19"})));
    announced_ = true;
  }

  void Others() {
    switch (draw_.Number(0, 4)) {
      case 0: ::SetupSet0(); break;
      case 1: ::IsValidExchg0(Pass(draw_.Text({"001", "12", "x"})), "", "", "", 0, 0, 0); break;
      case 2: Require(::GetExchgCount0("", "", "") == 1, "one exchange"); break;
      case 3: Require(::GetNumberOfSets() == 1, "one set"); break;
      default: Require(::GetSetName(draw_.Number(-3, 3)) != nullptr, "a set name"); break;
    }
  }

  void CheckFiles() {
    const std::string& name = fixture_.module.bad_qso_file_name();
    if (!started_ || name.empty()) return;
    const std::string& file = fixture_.files.files[name];
    Require(file == plain_.BadQsoFile(), "the bad-QSO file is the yardstick's", file);
    RequireWellFormedBadQsoFile(file);
    for (const auto& [path, text] : fixture_.files.files)
      Require(path == "host/Vemo2.ini" || path.find_first_of("/\\") == std::string::npos,
              "every file is written in the current folder", path);
  }

  testing::ModuleFixture fixture_;
  HostDraw draw_;
  testing::PlainScanEngine plain_;
  std::vector<HostQso> handed_over_;
  bool started_ = false;
  bool export_ = false;
  bool announced_ = false;
};

}  // namespace
}  // namespace velmora

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FloatTrapsDuringInput traps;
  FuzzedDataProvider input(data, size);
  velmora::Session session(input);
  for (int calls = 0; calls < 400 && input.remaining_bytes() > 0; ++calls) session.Step();
  return 0;
}
