// Numbers read from export texts: digits at fixed positions, and the leading
// integer of a field.
#ifndef TALLORA_TEXT_DIGITS_H_
#define TALLORA_TEXT_DIGITS_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tallora {

// White space as the C locale knows it: space, \t, \n, \v, \f and \r.
constexpr bool IsWhiteSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

// The digit at position `pos` of a text read at fixed positions (timestamps,
// durations): the byte's code taken as a signed 8-bit value, less the code of
// '0'. Nothing is checked, so a non-digit gives its own value; a position
// past the end of the text reads as code 0, giving -48.
constexpr std::int32_t PositionalDigit(std::string_view text, std::size_t pos) {
  const std::int8_t code =
      pos < text.size() ? static_cast<std::int8_t>(text[pos]) : std::int8_t{0};
  return std::int32_t{code} - '0';
}

// The value of the optional sign and decimal digits that start `text` after
// leading white space; a value beyond the 32-bit range saturates at
// INT32_MIN or INT32_MAX. A text without such digits gives 0. When `length`
// is given it receives the number of bytes taken, white space and sign
// included, or 0 when no digit was found. The text is taken as it is: a
// field is cut at line end before it gets here, since white space includes
// the line end.
std::int32_t LeadingInteger(std::string_view text,
                            std::size_t* length = nullptr);

}  // namespace tallora

#endif  // TALLORA_TEXT_DIGITS_H_
