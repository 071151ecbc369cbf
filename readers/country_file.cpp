#include "readers/country_file.h"

#include <algorithm>
#include <array>

#include "readers/call_location.h"
#include "readers/text_scan.h"

namespace {

constexpr std::array<std::string_view, 7> kContinents = {"AF", "AN", "AS", "EU", "NA", "OC", "SA"};

// Alias overrides: (cq) [itu] {cont} <lat/lon> ~utc~.
constexpr std::string_view kOverrideOpeners = "([{<~";
constexpr std::string_view kOverrideClosers = ")]}>~";

bool IsContinent(std::string_view text) {
  return std::find(kContinents.begin(), kContinents.end(), text) != kContinents.end();
}

bool IsDecimal(std::string_view text) {
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
  bool digit = false, point = false;
  for (char c : text) {
    if (c >= '0' && c <= '9') digit = true;
    else if (c == '.' && !point) point = true;
    else return false;
  }
  return digit;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  while (true) {
    std::size_t at = text.find(separator);
    parts.push_back(text.substr(0, at));
    if (at == std::string_view::npos) return parts;
    text.remove_prefix(at + 1);
  }
}

}  // namespace

// Reads the country file line by line into a CountryFile.
class CountryFileParser {
 public:
  explicit CountryFileParser(const std::string& file_name) : file_name_(file_name) {}

  CountryFile Parse(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
      std::size_t end = text.find('\n', pos);
      if (end == std::string_view::npos) end = text.size();
      std::string_view line = text.substr(pos, end - pos);
      pos = end + 1;
      ++line_;
      if (TrimBlanks(line).empty()) continue;
      bool indented = line.front() == ' ' || line.front() == '\t';
      if (!indented && open_entity_) Fail(header_line_, "entity is not closed by ';'");
      if (indented && !open_entity_) Fail(line_, "alias line outside an entity");
      if (indented) ReadAliases(TrimBlanks(line));
      else ReadHeader(TrimBlanks(line));
    }
    if (open_entity_) Fail(header_line_, "entity is not closed by ';'");
    if (file_.entities_.empty()) Fail(1, "no entity in the country file");
    return std::move(file_);
  }

 private:
  [[noreturn]] void Fail(int line, const std::string& what) const {
    ThrowReadError(file_name_, line, what);
  }

  int ReadNumber(std::string_view text, int max, const char* what) const {
    int value = 0;
    if (!ParseDigits(TrimBlanks(text), value) || value < 1 || value > max)
      Fail(line_, std::string("bad ") + what + " \"" + std::string(TrimBlanks(text)) + "\"");
    return value;
  }

  void ReadHeader(std::string_view line) {
    std::vector<std::string_view> fields = Split(line, ':');
    if (fields.size() != 9 || !TrimBlanks(fields[8]).empty())
      Fail(line_, "entity line needs 8 fields ended by ':'");
    Entity entity;
    entity.name = std::string(TrimBlanks(fields[0]));
    entity.cq = ReadNumber(fields[1], 40, "CQ zone");
    entity.itu = ReadNumber(fields[2], 90, "ITU zone");
    entity.continent = std::string(TrimBlanks(fields[3]));
    std::string_view primary = TrimBlanks(fields[7]);
    if (primary.starts_with('*')) primary.remove_prefix(1);
    entity.key = std::string(primary);
    if (entity.name.empty()) Fail(line_, "entity has no name");
    if (!IsContinent(entity.continent)) Fail(line_, "bad continent \"" + entity.continent + "\"");
    for (std::size_t i = 4; i < 7; ++i)
      if (!IsDecimal(TrimBlanks(fields[i])))
        Fail(line_, "bad number \"" + std::string(TrimBlanks(fields[i])) + "\"");
    if (entity.key.empty()) Fail(line_, "entity has no primary prefix");
    file_.entities_.push_back(std::move(entity));
    open_entity_ = true;
    header_line_ = line_;
  }

  void ReadAliases(std::string_view line) {
    std::size_t end = line.find(';');
    if (end != std::string_view::npos) {
      if (!TrimBlanks(line.substr(end + 1)).empty()) Fail(line_, "text after ';'");
      line = line.substr(0, end);
      open_entity_ = false;
    }
    for (std::string_view item : Split(line, ',')) {
      item = TrimBlanks(item);
      if (!item.empty()) ReadAlias(item);
    }
  }

  // One alias: [=]PREFIX, then any overrides.
  void ReadAlias(std::string_view item) {
    const Entity& entity = file_.entities_.back();
    CountryFile::Alias alias{file_.entities_.size() - 1, entity.cq, entity.itu, entity.continent};
    bool exact = item.starts_with('=');
    if (exact) item.remove_prefix(1);
    std::size_t name_end = item.find_first_of(kOverrideOpeners);
    std::string name = UpperAscii(item.substr(0, name_end));
    if (name.empty() || name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/") !=
                            std::string::npos)
      Fail(line_, "bad alias \"" + std::string(item) + "\"");
    std::string_view rest = name_end == std::string_view::npos ? "" : item.substr(name_end);
    while (!rest.empty()) {
      char open = rest.front();
      std::size_t at = rest.find(kOverrideClosers[kOverrideOpeners.find(open)], 1);
      if (at == std::string_view::npos)
        Fail(line_, "unclosed override in \"" + std::string(item) + "\"");
      std::string_view inner = rest.substr(1, at - 1);
      if (open == '(') alias.cq = ReadNumber(inner, 40, "CQ zone");
      if (open == '[') alias.itu = ReadNumber(inner, 90, "ITU zone");
      if (open == '{') {
        alias.continent = std::string(inner);
        if (!IsContinent(alias.continent))
          Fail(line_, "bad continent \"" + alias.continent + "\"");
      }
      rest.remove_prefix(at + 1);
      if (!rest.empty() && kOverrideOpeners.find(rest.front()) == std::string_view::npos)
        Fail(line_, "bad alias \"" + std::string(item) + "\"");
    }
    auto& table = exact ? file_.exact_calls_ : file_.prefixes_;
    if (!exact) file_.longest_prefix_ = std::max(file_.longest_prefix_, name.size());
    table.emplace(std::move(name), std::move(alias));  // the first entry of a name wins
  }

  const std::string& file_name_;
  CountryFile file_;
  int line_ = 0;
  int header_line_ = 0;
  bool open_entity_ = false;
};

CountryFile CountryFile::Parse(std::string_view text, const std::string& file_name) {
  return CountryFileParser(file_name).Parse(text);
}

Entity CountryFile::Resolve(const Alias& alias) const {
  Entity entity = entities_[alias.entity];
  entity.cq = alias.cq;
  entity.itu = alias.itu;
  entity.continent = alias.continent;
  return entity;
}

std::optional<Entity> CountryFile::LookupLocation(const std::string& location) const {
  if (auto hit = exact_calls_.find(location); hit != exact_calls_.end())
    return Resolve(hit->second);
  for (std::size_t length = std::min(location.size(), longest_prefix_); length > 0; --length)
    if (auto hit = prefixes_.find(location.substr(0, length)); hit != prefixes_.end())
      return Resolve(hit->second);
  return std::nullopt;
}

std::optional<Entity> CountryFile::Lookup(std::string_view call) const {
  std::string upper = UpperAscii(TrimBlanks(call));
  if (upper.empty()) return std::nullopt;
  if (auto hit = exact_calls_.find(upper); hit != exact_calls_.end())
    return Resolve(hit->second);
  std::optional<std::string> location = CallLocation(upper, [this](const std::string& part) {
    return exact_calls_.contains(part) || prefixes_.contains(part);
  });
  if (!location) return std::nullopt;
  return LookupLocation(*location);
}
