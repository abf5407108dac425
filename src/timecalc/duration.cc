#include "timecalc/duration.h"

#include <array>
#include <cstddef>

#include "input/text_slot.h"

namespace tallora {
namespace {

// A digit's value: its character code, taken as signed 8-bit, less '0'.
std::uint32_t Digit(std::string_view text, std::size_t pos) {
  const auto code = static_cast<std::int8_t>(text[pos]);
  return static_cast<std::uint32_t>(static_cast<std::int32_t>(code) - '0');
}

// Weights of the digit positions of each layout, hours first; the positions
// of the two separators are never read.
struct Layout {
  std::size_t length;
  std::array<std::size_t, 8> positions;
  std::array<std::uint32_t, 8> weights;
  std::size_t digits;
};

constexpr Layout kLayouts[] = {
    {8, {0, 1, 3, 4, 6, 7}, {36000, 3600, 600, 60, 10, 1}, 6},
    {9, {0, 1, 2, 4, 5, 7, 8}, {360000, 36000, 3600, 600, 60, 10, 1}, 7},
    {10,
     {0, 1, 2, 3, 5, 6, 8, 9},
     {3600000, 360000, 36000, 3600, 600, 60, 10, 1},
     8},
};

}  // namespace

std::int32_t DurationToSeconds(std::string_view text) {
  text = CutAtLineEnd(text);
  for (const Layout& layout : kLayouts) {
    if (text.size() != layout.length) {
      continue;
    }
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < layout.digits; ++i) {
      sum += layout.weights[i] * Digit(text, layout.positions[i]);
    }
    return static_cast<std::int32_t>(sum);
  }
  return 0;
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
