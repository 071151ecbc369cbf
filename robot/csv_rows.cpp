#include "robot/csv_rows.h"

#include <cstdlib>

namespace velmora::robot {

std::vector<std::vector<std::string>> CsvRows(std::string_view text) {
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> row;
  std::string field;
  bool quoted = false, any = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') field += '"', ++i;
      else if (c == '"') quoted = false;
      else field += c;
    } else if (c == '"') {
      quoted = any = true;
    } else if (c == ',') {
      row.push_back(std::move(field));
      field.clear();
      any = true;
    } else if (c == '\n') {
      if (!field.empty() && field.back() == '\r') field.pop_back();
      row.push_back(std::move(field));
      rows.push_back(std::move(row));
      field.clear();
      row.clear();
      any = false;
    } else {
      field += c;
      any = true;
    }
  }
  if (any || !field.empty()) {
    row.push_back(std::move(field));
    rows.push_back(std::move(row));
  }
  return rows;
}

namespace {

bool IsNumber(const std::string& text) {
  if (text.empty() || text.size() > 18) return false;
  std::size_t i = text[0] == '-' ? 1 : 0, digits = 0, dots = 0;
  for (; i < text.size(); ++i) {
    if (text[i] >= '0' && text[i] <= '9') ++digits;
    else if (text[i] == '.' && ++dots == 1 && digits) continue;
    else return false;
  }
  return digits > 0 && text.back() != '.';
}

}  // namespace

Json CsvObjects(std::string_view text) {
  const std::vector<std::vector<std::string>> rows = CsvRows(text);
  Json list = Json::array();
  if (rows.empty()) return list;
  const std::vector<std::string>& keys = rows.front();
  for (std::size_t r = 1; r < rows.size(); ++r) {
    Json object = Json::object();
    for (std::size_t k = 0; k < keys.size() && k < rows[r].size(); ++k) {
      const std::string& value = rows[r][k];
      if (!IsNumber(value)) object[keys[k]] = value;
      else if (value.find('.') == std::string::npos) object[keys[k]] = std::stoll(value);
      else object[keys[k]] = std::strtod(value.c_str(), nullptr);
    }
    list.push_back(std::move(object));
  }
  return list;
}

}  // namespace velmora::robot
