#include "input/text_scan.h"

#include <cassert>
#include <cstddef>
#include <limits>

#include "input/text_slot.h"

namespace tallora {
namespace {

// White space of the C locale.
bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' ||
         c == '\r';
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

void SkipSpace(std::string_view text, std::size_t* pos) {
  while (*pos < text.size() && IsSpace(text[*pos])) {
    ++*pos;
  }
}

// Reads an optionally signed decimal number at *pos, after white space.
// Returns false, with *pos past what was looked at, when no digit follows.
bool ReadNumber(std::string_view text, std::size_t* pos, std::int32_t* value) {
  SkipSpace(text, pos);
  bool negative = false;
  if (*pos < text.size() && (text[*pos] == '+' || text[*pos] == '-')) {
    negative = text[*pos] == '-';
    ++*pos;
  }
  if (*pos >= text.size() || !IsDigit(text[*pos])) {
    return false;
  }
  // Magnitude capped just past the 32-bit range, so it never overflows.
  constexpr std::int64_t kCap = std::int64_t{1} << 32;
  std::int64_t magnitude = 0;
  while (*pos < text.size() && IsDigit(text[*pos])) {
    if (magnitude < kCap) {
      magnitude = magnitude * 10 + (text[*pos] - '0');
    }
    ++*pos;
  }
  const std::int64_t signed_value = negative ? -magnitude : magnitude;
  constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  *value = static_cast<std::int32_t>(
      signed_value < kMin ? kMin : (signed_value > kMax ? kMax : signed_value));
  return true;
}

}  // namespace

std::int32_t LeadingInteger(std::string_view text) {
  std::size_t pos = 0;
  std::int32_t value = 0;
  if (!ReadNumber(CutAtLineEnd(text), &pos, &value)) {
    return 0;
  }
  return value;
}

int ScanText(std::string_view text, std::string_view format,
             std::initializer_list<ScanTarget> targets) {
  text = CutAtLineEnd(text);
  const ScanTarget* target = targets.begin();
  int stored = 0;
  std::size_t pos = 0;
  std::size_t f = 0;
  while (f < format.size()) {
    const char fc = format[f];
    if (IsSpace(fc)) {
      SkipSpace(text, &pos);
      ++f;
      continue;
    }
    if (fc != '%') {
      if (pos >= text.size() || text[pos] != fc) {
        return stored;
      }
      ++pos;
      ++f;
      continue;
    }
    // A conversion: "%s", "%d" or "%ld".
    ++f;
    if (f < format.size() && format[f] == 'l') {
      ++f;
    }
    assert(f < format.size() && target != targets.end());
    const char conversion = format[f++];
    if (conversion == 's') {
      SkipSpace(text, &pos);
      const std::size_t start = pos;
      while (pos < text.size() && !IsSpace(text[pos])) {
        ++pos;
      }
      if (pos == start) {
        return stored;
      }
      *target->word_ = text.substr(start, pos - start);
    } else {
      assert(conversion == 'd');
      std::int32_t value = 0;
      if (!ReadNumber(text, &pos, &value)) {
        return stored;
      }
      *target->number_ = value;
    }
    ++target;
    ++stored;
  }
  return stored;
}

}  // namespace tallora
