#include "text/text_scan.h"

#include <cstddef>

#include "text/digits.h"

namespace tallora {

void TextScan::SkipWhiteSpace() {
  std::size_t n = 0;
  while (n < rest_.size() && IsWhiteSpace(rest_[n])) {
    ++n;
  }
  rest_.remove_prefix(n);
}

TextScan& TextScan::Expect(std::string_view literal) {
  if (!ok_) {
    return *this;
  }
  if (rest_.starts_with(literal)) {
    // Each white-space character of the literal met its like in the text,
    // which then goes on with the literal's next character: only the last
    // one can match a longer run.
    rest_.remove_prefix(literal.size());
    if (!literal.empty() && IsWhiteSpace(literal.back())) {
      SkipWhiteSpace();
    }
    return *this;
  }
  const char* at = rest_.data();
  const char* const end = at + rest_.size();
  for (const char c : literal) {
    if (IsWhiteSpace(c)) {
      while (at != end && IsWhiteSpace(*at)) {
        ++at;
      }
    } else if (at != end && *at == c) {
      ++at;
    } else {
      ok_ = false;
      break;
    }
  }
  rest_ = std::string_view(at, static_cast<std::size_t>(end - at));
  return *this;
}

TextScan& TextScan::ReadWord(std::string_view* word) {
  if (!ok_) {
    return *this;
  }
  SkipWhiteSpace();
  std::size_t n = 0;
  while (n < rest_.size() && !IsWhiteSpace(rest_[n])) {
    ++n;
  }
  if (n == 0) {
    ok_ = false;
    return *this;
  }
  *word = rest_.substr(0, n);
  rest_.remove_prefix(n);
  return *this;
}

TextScan& TextScan::ReadNumber(std::int32_t* number) {
  if (!ok_) {
    return *this;
  }
  std::size_t length = 0;
  const std::int32_t value = LeadingInteger(rest_, &length);
  if (length == 0) {
    ok_ = false;
    return *this;
  }
  *number = value;
  rest_.remove_prefix(length);
  return *this;
}

}  // namespace tallora
