#include "readers/adif_reader.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>

#include "readers/band_plan.h"
#include "readers/text_scan.h"

namespace {

struct AdifTag {
  enum Kind { kField, kEndOfRecord, kEndOfHeader };
  Kind kind = kField;
  std::string name;  // upper-case
  std::string_view value;
  int line = 0;
};

// Walks through the tags of an ADIF text, keeping count of lines.
class AdifScanner {
 public:
  AdifScanner(std::string_view text, const std::string& file_name)
      : text_(text), file_name_(file_name) {}

  // The next tag from here, or nullopt at the end of the text. In lenient
  // mode (free header text) a '<' that opens no valid tag is passed over;
  // otherwise it is an error.
  std::optional<AdifTag> Next(bool lenient) {
    while (true) {
      std::size_t open = text_.find('<', pos_);
      if (open == std::string_view::npos) {
        MoveTo(text_.size());
        return std::nullopt;
      }
      MoveTo(open);
      std::optional<AdifTag> tag = ParseTagAt(open);
      if (tag) return tag;
      if (!lenient) {
        std::size_t close = text_.find('>', open);
        std::size_t end = close == std::string_view::npos ? text_.size() : close + 1;
        std::string_view shown = text_.substr(open, std::min<std::size_t>(end - open, 40));
        ThrowReadError(file_name_, line_, "malformed ADIF tag \"" + std::string(shown) + "\"");
      }
      MoveTo(open + 1);
    }
  }

  int line() const { return line_; }

 private:
  std::optional<AdifTag> ParseTagAt(std::size_t open) {
    std::size_t close = text_.find('>', open);
    if (close == std::string_view::npos) return std::nullopt;
    std::string_view inside = text_.substr(open + 1, close - open - 1);
    AdifTag tag;
    tag.line = line_;
    std::size_t colon = inside.find(':');
    tag.name = UpperAscii(inside.substr(0, colon));
    if (tag.name.empty() || tag.name.find_first_of(" \t\r\n<") != std::string::npos)
      return std::nullopt;
    if (colon == std::string_view::npos) {
      if (tag.name == "EOR") tag.kind = AdifTag::kEndOfRecord;
      else if (tag.name == "EOH") tag.kind = AdifTag::kEndOfHeader;
      else return std::nullopt;
      MoveTo(close + 1);
      return tag;
    }
    std::string_view length_text = inside.substr(colon + 1);
    length_text = length_text.substr(0, length_text.find(':'));  // drop the type
    int length = 0;
    if (!ParseDigits(length_text, length)) return std::nullopt;
    std::size_t start = close + 1;
    if (static_cast<std::size_t>(length) > text_.size() - start)
      ThrowReadError(file_name_, line_,
                     "field " + tag.name + " runs past the end of the file");
    tag.value = text_.substr(start, static_cast<std::size_t>(length));
    MoveTo(start + static_cast<std::size_t>(length));
    return tag;
  }

  void MoveTo(std::size_t to) {
    for (; pos_ < to; ++pos_)
      if (text_[pos_] == '\n') ++line_;
  }

  std::string_view text_;
  const std::string& file_name_;
  std::size_t pos_ = 0;
  int line_ = 1;
};

using Fields = std::map<std::string, std::string_view>;

std::string FieldText(const Fields& fields, const std::string& name) {
  auto it = fields.find(name);
  return it == fields.end() ? std::string() : std::string(TrimBlanks(it->second));
}

// The first of two fields that is not empty.
std::string EitherField(const Fields& fields, const std::string& first,
                        const std::string& second) {
  std::string value = FieldText(fields, first);
  return value.empty() ? FieldText(fields, second) : value;
}

std::optional<std::string> ReadQsoTime(const Fields& fields, COleDateTime& time) {
  std::string date = FieldText(fields, "QSO_DATE");
  std::string clock = FieldText(fields, "TIME_ON");
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  if (date.empty()) return "no QSO_DATE";
  if (date.size() != 8 || !ParseDigits(date.substr(0, 4), year) ||
      !ParseDigits(date.substr(4, 2), month) || !ParseDigits(date.substr(6, 2), day))
    return "bad QSO_DATE \"" + date + "\"";
  if (clock.empty()) return "no TIME_ON";
  if ((clock.size() != 4 && clock.size() != 6) || !ParseDigits(clock.substr(0, 2), hour) ||
      !ParseDigits(clock.substr(2, 2), minute) ||
      (clock.size() == 6 && !ParseDigits(clock.substr(4, 2), second)))
    return "bad TIME_ON \"" + clock + "\"";
  time = COleDateTime::FromParts(year, month, day, hour, minute, second);
  if (time.GetStatus() != COleDateTime::kValid)
    return "bad date or time \"" + date + " " + clock + "\"";
  return std::nullopt;
}

// Turns one record into a QSO, or tells why it cannot be used.
std::optional<std::string> MakeQso(const Fields& fields, LogQso& qso) {
  qso.call = UpperAscii(FieldText(fields, "CALL"));
  if (qso.call.empty()) return "record has no CALL";
  if (std::optional<std::string> problem = ReadQsoTime(fields, qso.time)) return problem;
  qso.freq_hz = AdifFrequencyToHz(FieldText(fields, "FREQ"));
  qso.band = NormalizeBand(FieldText(fields, "BAND"));
  if (qso.band.empty()) qso.band = BandFromFrequency(qso.freq_hz / 1000);
  qso.mode = FieldText(fields, "MODE");
  qso.rst_sent = FieldText(fields, "RST_SENT");
  qso.rst_rcvd = FieldText(fields, "RST_RCVD");
  qso.nr_sent = EitherField(fields, "STX", "STX_STRING");
  qso.nr_rcvd = EitherField(fields, "SRX", "SRX_STRING");
  qso.own_call = UpperAscii(EitherField(fields, "STATION_CALLSIGN", "OPERATOR"));
  return std::nullopt;
}

// Skips the header: free text and fields up to <EOH>. A file that starts
// with '<' (after blanks or a byte-order mark) has none.
void SkipHeader(std::string_view text, AdifScanner& scanner, const std::string& file_name) {
  std::string_view start = TrimBlanks(text);
  if (start.starts_with("\xEF\xBB\xBF")) start = TrimBlanks(start.substr(3));
  if (start.starts_with('<')) return;
  while (std::optional<AdifTag> tag = scanner.Next(true))
    if (tag->kind == AdifTag::kEndOfHeader) return;
  ThrowReadError(file_name, 1, "no <EOH> ends the ADIF header");
}

}  // namespace

unsigned int AdifFrequencyToHz(std::string_view mhz) {
  std::string_view text = TrimBlanks(mhz);
  std::uint64_t hz = 0;
  std::uint64_t scale = 1000000;
  bool seen_digit = false, seen_point = false;
  for (char c : text) {
    if ((c == '.' || c == ',') && !seen_point) {
      seen_point = true;
    } else if (c >= '0' && c <= '9') {
      seen_digit = true;
      if (!seen_point) {
        hz = hz * 10 + static_cast<std::uint64_t>(c - '0') * 1000000;
        if (hz > 0xFFFFFFFFu) return 0;
      } else if (scale > 1) {
        scale /= 10;
        hz += static_cast<std::uint64_t>(c - '0') * scale;
      }
    } else {
      return 0;
    }
  }
  if (!seen_digit || hz > 0xFFFFFFFFu) return 0;
  return static_cast<unsigned int>(hz);
}

ParsedLog ReadAdif(std::string_view text, const std::string& file_name) {
  AdifScanner scanner(text, file_name);
  SkipHeader(text, scanner, file_name);
  ParsedLog log;
  Fields fields;
  int record_line = 0;
  while (std::optional<AdifTag> tag = scanner.Next(false)) {
    if (tag->kind == AdifTag::kEndOfHeader) continue;
    if (tag->kind == AdifTag::kField) {
      if (fields.empty()) record_line = tag->line;
      fields.emplace(tag->name, tag->value);  // the first of repeated fields wins
      continue;
    }
    if (fields.empty()) continue;  // an <EOR> with nothing before it
    LogQso qso;
    qso.line = record_line;
    if (std::optional<std::string> problem = MakeQso(fields, qso)) {
      log.skipped.push_back({record_line, *problem});
    } else {
      if (log.own_call.empty()) log.own_call = qso.own_call;
      log.qsos.push_back(std::move(qso));
    }
    fields.clear();
  }
  if (!fields.empty())
    log.skipped.push_back({record_line, "record not closed by <EOR>"});
  return log;
}
