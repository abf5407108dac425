#include "text/digits.h"

#include <limits>

namespace tallora {

std::int32_t LeadingInteger(std::string_view text, std::size_t* length) {
  std::size_t pos = 0;
  while (pos < text.size() && IsWhiteSpace(text[pos])) {
    ++pos;
  }
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  const auto is_digit = [&](std::size_t at) {
    return at < text.size() && text[at] >= '0' && text[at] <= '9';
  };
  if (!is_digit(pos)) {
    if (length != nullptr) {
      *length = 0;
    }
    return 0;
  }
  // The magnitude stops growing just past the 32-bit range, so it never
  // overflows however many digits follow.
  constexpr std::int64_t kCap = std::int64_t{1} << 32;
  std::int64_t magnitude = 0;
  for (; is_digit(pos); ++pos) {
    if (magnitude < kCap) {
      magnitude = magnitude * 10 + (text[pos] - '0');
    }
  }
  if (length != nullptr) {
    *length = pos;
  }
  constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  const std::int64_t value = negative ? -magnitude : magnitude;
  return static_cast<std::int32_t>(value < kMin   ? kMin
                                   : value > kMax ? kMax
                                                  : value);
}

}  // namespace tallora
