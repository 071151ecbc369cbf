#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A date-time as the host passes it: days since 1899-12-30 as a double, plus a
// status. The layout matches the host's, which hands us pointers to its values.
class COleDateTime {
 public:
  enum Status : std::int32_t { kValid = 0, kInvalid = 1, kNull = 2 };

  COleDateTime() = default;
  COleDateTime(double days, Status status) : m_dt(days), m_status(status) {}
  static COleDateTime FromParts(int year, int month, int day, int hour,
                                int minute, int second);

  double Days() const { return m_dt; }
  Status GetStatus() const { return static_cast<Status>(m_status); }

  // Whether the value is a number (no NaN, no infinity); read from its bits,
  // so that not even a signalling NaN raises a floating-point exception.
  bool HasFiniteDays() const;

  // The same date-time, but a valid status over a value that is no number
  // (which no date is) reads as invalid: every later use of a valid value
  // then compares and subtracts numbers only.
  COleDateTime Canonical() const;

  // strftime-style: %Y %m %d %H %M %S %y %j and %%. An invalid or out-of-range
  // value formats as "Invalid DateTime", a null one as the empty text.
  std::string Format(const char* pattern) const;

  // The value on a linear day scale (dates before 1899-12-30 count their time
  // of day forwards, so they are folded here).
  double LinearDays() const;

  // Equal statuses, and either both valid with the same value or both null.
  bool SameTime(const COleDateTime& other) const;

  alignas(8) double m_dt = 0.0;
  std::int32_t m_status = kValid;
};

static_assert(offsetof(COleDateTime, m_status) == 8, "host layout");
