#include "timecalc/timestamp.h"

#include <array>
#include <cstddef>

#include "text/digits.h"

namespace tallora {
namespace {

constexpr std::array<std::int32_t, 12> kMonthDays = {31, 28, 31, 30, 31, 30,
                                                     31, 31, 30, 31, 30, 31};

std::int32_t TwoDigits(std::string_view stamp, std::size_t pos) {
  return 10 * PositionalDigit(stamp, pos) + PositionalDigit(stamp, pos + 1);
}

bool IsLeapYear(std::int32_t year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// Leap years from year 1 up to `year`.
// REQUIRES: year >= 0.
std::int64_t LeapYearsThrough(std::int64_t year) {
  return year / 4 - year / 100 + year / 400;
}

// Days in the years 1970 to year - 1; none for 1970 or earlier.
std::int64_t DaysBeforeYear(std::int32_t year) {
  if (year <= 1970) {
    return 0;
  }
  return 365 * std::int64_t{year - 1970} + LeapYearsThrough(year - 1) -
         LeapYearsThrough(1969);
}

}  // namespace

std::int32_t TimestampToSeconds(std::string_view stamp) {
  const std::int32_t day = TwoDigits(stamp, 0);
  const std::int32_t month = TwoDigits(stamp, 3);
  const std::int32_t year = 100 * TwoDigits(stamp, 6) + TwoDigits(stamp, 8);
  const std::int32_t hour = TwoDigits(stamp, 11);
  const std::int32_t minute = TwoDigits(stamp, 14);
  const std::int32_t second = TwoDigits(stamp, 17);

  std::int64_t days = DaysBeforeYear(year);
  for (std::int32_t m = 1; m < month && m <= 12; ++m) {
    days += kMonthDays[static_cast<std::size_t>(m - 1)];
    if (m == 2 && IsLeapYear(year)) {
      ++days;
    }
  }
  // Modulo 2^32 arithmetic, as the 32-bit result is defined to wrap.
  std::uint32_t total =
      static_cast<std::uint32_t>(days) + static_cast<std::uint32_t>(day);
  total = total * 24 + static_cast<std::uint32_t>(hour);
  total = total * 60 + static_cast<std::uint32_t>(minute);
  total = total * 60 + static_cast<std::uint32_t>(second);
  return static_cast<std::int32_t>(total);
}

}  // namespace tallora
