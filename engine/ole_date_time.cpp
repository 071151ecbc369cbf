#include "engine/ole_date_time.h"

#include <bit>
#include <chrono>
#include <cmath>

namespace {

constexpr double kMinDays = -657434.0;  // 100-01-01
constexpr double kMaxDays = 2958466.0;  // 10000-01-01
constexpr double kHalfSecond = 1.0 / 172800.0;

struct Broken {
  int year, month, day, hour, minute, second, day_of_year;
};

const std::chrono::sys_days kEpoch =
    std::chrono::year{1899} / std::chrono::December / 30;

bool Breakdown(double dt, Broken& out) {
  if (dt < kMinDays || dt >= kMaxDays) return false;
  // Round to the nearest second, away from zero, as the host does.
  double value = dt + (dt > 0.0 ? kHalfSecond : -kHalfSecond);
  double day_part = std::trunc(value);
  double fraction = std::fabs(value - day_part);
  auto seconds = static_cast<long>(fraction * 86400.0);
  if (seconds >= 86400) seconds = 86399;
  std::chrono::sys_days date = kEpoch + std::chrono::days{static_cast<long>(day_part)};
  std::chrono::year_month_day ymd{date};
  std::chrono::sys_days jan1 = ymd.year() / std::chrono::January / 1;
  out.year = static_cast<int>(ymd.year());
  out.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
  out.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
  out.hour = static_cast<int>(seconds / 3600);
  out.minute = static_cast<int>(seconds / 60 % 60);
  out.second = static_cast<int>(seconds % 60);
  out.day_of_year = static_cast<int>((date - jan1).count()) + 1;
  return true;
}

void AppendNumber(std::string& out, int value, int width) {
  std::string digits = std::to_string(value < 0 ? -value : value);
  if (value < 0) out += '-';
  if (static_cast<int>(digits.size()) < width)
    out.append(static_cast<std::size_t>(width) - digits.size(), '0');
  out += digits;
}

bool AppendField(std::string& out, char spec, const Broken& t) {
  switch (spec) {
    case 'Y': AppendNumber(out, t.year, 4); return true;
    case 'y': AppendNumber(out, t.year % 100, 2); return true;
    case 'm': AppendNumber(out, t.month, 2); return true;
    case 'd': AppendNumber(out, t.day, 2); return true;
    case 'H': AppendNumber(out, t.hour, 2); return true;
    case 'M': AppendNumber(out, t.minute, 2); return true;
    case 'S': AppendNumber(out, t.second, 2); return true;
    case 'j': AppendNumber(out, t.day_of_year, 3); return true;
    case '%': out += '%'; return true;
    default: return false;
  }
}

}  // namespace

COleDateTime COleDateTime::FromParts(int year, int month, int day, int hour,
                                     int minute, int second) {
  std::chrono::year_month_day ymd{std::chrono::year{year},
                                  std::chrono::month{static_cast<unsigned>(month)},
                                  std::chrono::day{static_cast<unsigned>(day)}};
  if (!ymd.ok() || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
      second < 0 || second > 59)
    return COleDateTime(0.0, kInvalid);
  double days = static_cast<double>((std::chrono::sys_days{ymd} - kEpoch).count());
  double time = (hour * 3600 + minute * 60 + second) / 86400.0;
  // Before the epoch the time of day still counts forwards from the date.
  return COleDateTime(days >= 0 ? days + time : days - time, kValid);
}

std::string COleDateTime::Format(const char* pattern) const {
  if (GetStatus() == kNull) return std::string();
  Broken t{};
  if (GetStatus() != kValid || !HasFiniteDays() || !Breakdown(m_dt, t))
    return "Invalid DateTime";
  std::string out;
  for (const char* p = pattern ? pattern : ""; *p; ++p) {
    if (*p != '%' || p[1] == '\0') {
      out += *p;
      continue;
    }
    ++p;
    if (!AppendField(out, *p, t)) {
      out += '%';
      out += *p;
    }
  }
  return out;
}

bool COleDateTime::HasFiniteDays() const {
  constexpr std::uint64_t kExponent = 0x7ff0000000000000;
  return (std::bit_cast<std::uint64_t>(m_dt) & kExponent) != kExponent;
}

COleDateTime COleDateTime::Canonical() const {
  if (GetStatus() == kValid && !HasFiniteDays()) return COleDateTime(0.0, kInvalid);
  return *this;
}

double COleDateTime::LinearDays() const {
  if (!HasFiniteDays() || m_dt >= 0.0) return m_dt;
  double whole = std::ceil(m_dt);
  return whole - (m_dt - whole);
}

bool COleDateTime::SameTime(const COleDateTime& other) const {
  if (m_status != other.m_status) return false;
  if (m_status == kValid) return HasFiniteDays() && other.HasFiniteDays() && m_dt == other.m_dt;
  return m_status == kNull;
}
