// Words, numbers and literal text matched at the start of an export text.
#ifndef TALLORA_TEXT_TEXT_SCAN_H_
#define TALLORA_TEXT_TEXT_SCAN_H_

#include <cstdint>
#include <string_view>

namespace tallora {

// Matches a text step by step from its start, the way the C library's
// formatted read matches a pattern, with each step's target typed:
//
//   TextScan(text).Expect("Location ").ReadWord(&from).Expect(" -> ")
//       .ReadWord(&to).ok()
//
// Matching stops at the first step that does not match, the end of the text
// included: targets already stored keep their values and the targets of
// later steps are not touched. The text is taken as it is; callers pass it
// cut at line end.
class TextScan {
 public:
  explicit TextScan(std::string_view text) : rest_(text) {}

  // Matches `literal`: each white-space character in it matches any run of
  // white space in the text, including none; every other character must
  // match exactly.
  TextScan& Expect(std::string_view literal);

  // Skips white space and stores the run of non-white-space characters that
  // follows in `*word`, viewing the text. An empty run does not match.
  TextScan& ReadWord(std::string_view* word);

  // Skips white space and stores the optionally signed decimal number that
  // follows in `*number`, saturating at the 32-bit range. No digit, no match.
  TextScan& ReadNumber(std::int32_t* number);

  // True iff every step so far matched.
  bool ok() const { return ok_; }

 private:
  void SkipWhiteSpace();

  std::string_view rest_;
  bool ok_ = true;
};

}  // namespace tallora

#endif  // TALLORA_TEXT_TEXT_SCAN_H_
