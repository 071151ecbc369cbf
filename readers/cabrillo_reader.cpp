#include "readers/cabrillo_reader.h"

#include <array>
#include <optional>
#include <vector>

#include "readers/band_plan.h"
#include "readers/text_scan.h"

namespace {

constexpr std::size_t kQsoColumns = 10;

// Frequency columns that name a band above 30 MHz rather than a frequency.
constexpr std::array<std::string_view, 6> kVhfBandCodes = {"50", "70", "144", "222", "432", "902"};

std::vector<std::string_view> SplitColumns(std::string_view text) {
  std::vector<std::string_view> columns;
  std::size_t pos = 0;
  while (true) {
    pos = text.find_first_not_of(" \t", pos);
    if (pos == std::string_view::npos) break;
    std::size_t end = text.find_first_of(" \t", pos);
    if (end == std::string_view::npos) end = text.size();
    columns.push_back(text.substr(pos, end - pos));
    pos = end;
  }
  return columns;
}

std::optional<std::string> ReadFrequency(std::string_view column, unsigned int& freq_hz) {
  for (std::string_view code : kVhfBandCodes)
    if (column == code) return "band code \"" + std::string(column) + "\" instead of a frequency";
  int khz = 0;
  if (!ParseDigits(column, khz) || khz > 4294967)
    return "bad frequency \"" + std::string(column) + "\"";
  freq_hz = static_cast<unsigned int>(khz) * 1000u;
  return std::nullopt;
}

std::optional<std::string> ReadTime(std::string_view date, std::string_view clock,
                                    COleDateTime& time) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0;
  if (date.size() != 10 || date[4] != '-' || date[7] != '-' ||
      !ParseDigits(date.substr(0, 4), year) || !ParseDigits(date.substr(5, 2), month) ||
      !ParseDigits(date.substr(8, 2), day))
    return "bad date \"" + std::string(date) + "\"";
  if (clock.size() != 4 || !ParseDigits(clock.substr(0, 2), hour) ||
      !ParseDigits(clock.substr(2, 2), minute))
    return "bad time \"" + std::string(clock) + "\"";
  time = COleDateTime::FromParts(year, month, day, hour, minute, 0);
  if (time.GetStatus() != COleDateTime::kValid)
    return "bad date or time \"" + std::string(date) + " " + std::string(clock) + "\"";
  return std::nullopt;
}

// Turns the columns after "QSO:" into a QSO, or tells why they cannot be used.
std::optional<std::string> MakeQso(const std::vector<std::string_view>& columns, LogQso& qso) {
  if (columns.size() < kQsoColumns)
    return "QSO line has " + std::to_string(columns.size()) + " columns, " +
           std::to_string(kQsoColumns) + " needed";
  if (std::optional<std::string> problem = ReadFrequency(columns[0], qso.freq_hz)) return problem;
  if (std::optional<std::string> problem = ReadTime(columns[2], columns[3], qso.time))
    return problem;
  qso.band = BandFromFrequency(qso.freq_hz / 1000);
  qso.mode = std::string(columns[1]);
  qso.own_call = UpperAscii(columns[4]);
  qso.rst_sent = std::string(columns[5]);
  qso.nr_sent = std::string(columns[6]);
  qso.call = UpperAscii(columns[7]);
  qso.rst_rcvd = std::string(columns[8]);
  qso.nr_rcvd = std::string(columns[9]);
  return std::nullopt;
}

}  // namespace

ParsedLog ReadCabrillo(std::string_view text, const std::string& file_name) {
  ParsedLog log;
  bool seen_start = false, seen_qso = false;
  int line_number = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    ++line_number;
    std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    std::string key = UpperAscii(TrimBlanks(line.substr(0, colon)));
    std::string_view value = TrimBlanks(line.substr(colon + 1));
    if (key == "START-OF-LOG") {
      seen_start = true;
    } else if (key == "END-OF-LOG") {
      break;
    } else if (key == "CALLSIGN") {
      if (log.own_call.empty()) log.own_call = UpperAscii(value);
    } else if (key == "QSO") {
      seen_qso = true;
      LogQso qso;
      qso.line = line_number;
      if (std::optional<std::string> problem = MakeQso(SplitColumns(value), qso))
        log.skipped.push_back({line_number, *problem});
      else
        log.qsos.push_back(std::move(qso));
    }
  }
  if (!seen_start && !seen_qso)
    ThrowReadError(file_name, 1, "no START-OF-LOG: or QSO: line, not a Cabrillo log");
  return log;
}
