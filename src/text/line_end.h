// The cut at line end: where a text taken from the export stops.
#ifndef TALLORA_TEXT_LINE_END_H_
#define TALLORA_TEXT_LINE_END_H_

#include <string_view>

namespace tallora {

// True iff `c` ends a line's text: a carriage return or a line feed. The
// export is read in binary, so lines bring their carriage return along.
// The UTF-8 byte-order mark some editors put at the start of a text file.
inline constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

constexpr bool IsLineEnd(char c) {
  return c == '\r' || c == '\n';
}

// The text up to its first carriage return or line feed, whichever comes
// first; a text without either is unchanged.
constexpr std::string_view CutAtLineEnd(std::string_view text) {
  std::string_view::size_type end = 0;
  while (end < text.size() && !IsLineEnd(text[end])) {
    ++end;
  }
  return text.substr(0, end);
}

}  // namespace tallora

#endif  // TALLORA_TEXT_LINE_END_H_
