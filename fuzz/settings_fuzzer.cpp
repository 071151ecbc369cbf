// The settings file on random file texts, then random reads and writes: a
// written key reads back exactly (when its value can), every other line of
// the file is kept, and the other keys keep their values.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/contest_rules.h"
#include "platform/text_lines.h"
#include "platform/ini_settings_store.h"
#include "testing/fake_file_system.h"
#include "fuzz/float_traps.h"

namespace velmora {
namespace {

constexpr char kPath[] = "Plugins/Velmora.ini";

void Require(bool holds, const char* invariant, const std::string& detail = "") {
  if (holds) return;
  std::fprintf(stderr, "invariant broken: %s\n%s\n", invariant, detail.c_str());
  std::abort();
}

// A key as the plug-in names them: letters, digits and '_'.
std::string Key(FuzzedDataProvider& input) {
  static const char* const kKeys[] = {"Start", "Claimed", "Name", "SoapBox", "Address_City"};
  if (input.ConsumeBool()) return kKeys[input.ConsumeIntegralInRange<std::size_t>(0, 4)];
  std::string key;
  for (char c : input.ConsumeRandomLengthString(12))
    if (std::isalnum(static_cast<unsigned char>(c)) || c == '_') key += c;
  return key.empty() ? "K" : key;
}

// Whether the file gives a value back exactly: one line, no blanks at its
// ends, not wholly in quotes. Other values are still written on one line.
bool ReadsBackExactly(std::string_view value) {
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  if (value.find_first_of("\r\n") != std::string_view::npos) return false;
  if (!value.empty() && (blank(value.front()) || blank(value.back()))) return false;
  return !(value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
           value.back() == value.front());
}

// The keys of the lines that look like "key=value", for the other keys.
std::vector<std::string> KeysIn(const std::vector<std::string>& lines) {
  std::vector<std::string> keys;
  for (const std::string& line : lines) {
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string key = line.substr(0, eq);
    while (!key.empty() && (key.front() == ' ' || key.front() == '\t')) key.erase(0, 1);
    while (!key.empty() && (key.back() == ' ' || key.back() == '\t')) key.pop_back();
    keys.push_back(key);
  }
  return keys;
}

// The lines after a write are the lines before with one line replaced, one
// inserted, or the section and the entry added at the end.
bool KeepsOtherLines(const std::vector<std::string>& before,
                     const std::vector<std::string>& after) {
  std::size_t i = 0;
  while (i < before.size() && i < after.size() && before[i] == after[i]) ++i;
  auto same_from = [&](std::size_t b, std::size_t a) {
    return before.size() - b == after.size() - a &&
           std::equal(before.begin() + static_cast<std::ptrdiff_t>(b), before.end(),
                      after.begin() + static_cast<std::ptrdiff_t>(a));
  };
  if (i == before.size()) return after.size() - i <= 2;
  return same_from(i + 1, i + 1) || same_from(i, i + 1);
}

}  // namespace
}  // namespace velmora

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FloatTrapsDuringInput traps;
  using namespace velmora;
  FuzzedDataProvider input(data, size);
  testing::FakeFileSystem files;
  if (input.ConsumeBool()) files.files[kPath] = input.ConsumeRandomLengthString(4000);
  IniSettingsStore store(files, kPath);
  for (int step = 0; step < 20 && input.remaining_bytes() > 0; ++step) {
    if (input.ConsumeIntegralInRange(0, 3) == 0) {
      store.Read(input.ConsumeRandomLengthString(16));
      continue;
    }
    const std::string key = Key(input);
    const std::string value = input.ConsumeRandomLengthString(80);
    const std::vector<std::string> before = SplitLines(files.files[kPath]);
    std::vector<std::pair<std::string, std::string>> others;
    for (const std::string& other : KeysIn(before))
      if (!EqualsIgnoringCase(other, key)) others.emplace_back(other, store.Read(other));

    Require(store.Write(key, value), "the write succeeds");
    if (ReadsBackExactly(value))
      Require(store.Read(key) == value, "a written key reads back exactly", key + "=" + value);
    const std::vector<std::string> after = SplitLines(files.files[kPath]);
    Require(KeepsOtherLines(before, after), "every other line is kept", files.files[kPath]);
    for (const auto& [other, was] : others)
      Require(store.Read(other) == was, "other keys keep their values", other);
  }
  return 0;
}
