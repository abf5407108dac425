#include "timecalc/duration.h"

#include <cstddef>

#include "text/digits.h"

namespace tallora {
namespace {

// Two digits at `pos` as a number.
std::uint32_t TwoDigits(std::string_view text, std::size_t pos) {
  return static_cast<std::uint32_t>(10 * PositionalDigit(text, pos) +
                                    PositionalDigit(text, pos + 1));
}

}  // namespace

std::int32_t DurationToSeconds(std::string_view text) {
  // The hour digits come first and the minutes and seconds last, so the
  // length alone tells where the hours end; separators are never read.
  std::uint32_t hours = 0;
  switch (text.size()) {
    case 8:
      hours = TwoDigits(text, 0);
      break;
    case 9:
      hours = 10 * TwoDigits(text, 0) +
              static_cast<std::uint32_t>(PositionalDigit(text, 2));
      break;
    case 10:
      hours = 100 * TwoDigits(text, 0) + TwoDigits(text, 2);
      break;
    default:
      return 0;
  }
  const std::size_t minutes_at = text.size() - 5;
  const std::uint32_t seconds = 3600 * hours +
                                60 * TwoDigits(text, minutes_at) +
                                TwoDigits(text, minutes_at + 3);
  return static_cast<std::int32_t>(seconds);
}

bool SecondsToDuration(std::int32_t seconds, DurationText* out) {
  const std::int32_t total_minutes = seconds / 60;
  const std::int32_t second_part = seconds - 60 * total_minutes;
  const std::int32_t hours = total_minutes / 60;
  const std::int32_t minute_part = total_minutes - 60 * hours;
  if (hours < 0 || hours > 9999) {
    return false;
  }
  char text[10];
  std::size_t n = 0;
  const std::int32_t hour_digits = hours >= 1000 ? 4 : (hours >= 100 ? 3 : 2);
  for (std::int32_t scale = hour_digits == 4 ? 1000
                                             : (hour_digits == 3 ? 100 : 10);
       scale > 0; scale /= 10) {
    text[n++] = static_cast<char>('0' + (hours / scale) % 10);
  }
  // Minute and second parts may be negative (for -3599 to -1 seconds); their
  // digits are then written below '0', as truncating division gives them.
  const auto put_two = [&](std::int32_t part) {
    text[n++] = static_cast<char>('0' + part / 10);
    text[n++] = static_cast<char>('0' + (part - 10 * (part / 10)));
  };
  text[n++] = ':';
  put_two(minute_part);
  text[n++] = ':';
  put_two(second_part);
  out->Assign(std::string_view(text, n));
  return true;
}

}  // namespace tallora
