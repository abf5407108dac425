// Numbers and words taken from export texts.
#ifndef TALLORA_INPUT_TEXT_SCAN_H_
#define TALLORA_INPUT_TEXT_SCAN_H_

#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace tallora {

// The value of the optional sign and decimal digits that start `text` after
// leading white space, read from the text cut at line end. A text without
// digits gives 0; a value beyond the 32-bit range saturates at INT32_MIN or
// INT32_MAX.
std::int32_t LeadingInteger(std::string_view text);

// Where one conversion of ScanText stores its result: a word for "%s", a
// number for "%d" or "%ld".
class ScanTarget {
 public:
  ScanTarget(std::string_view* word) : word_(word) {}    // NOLINT: implicit
  ScanTarget(std::int32_t* number) : number_(number) {}  // NOLINT: implicit

 private:
  friend int ScanText(std::string_view text, std::string_view format,
                      std::initializer_list<ScanTarget> targets);
  std::string_view* word_ = nullptr;
  std::int32_t* number_ = nullptr;
};

// Matches the text, cut at line end, against `format` the way the C
// library's formatted read does, and stores each conversion in the next
// target. White space in the format matches any run of white space in the
// text, including none; other format characters must match exactly; "%s"
// skips white space and takes a run of non-white-space characters (viewing
// `text`); "%d" and "%ld" skip white space and take an optionally signed
// decimal number, saturating at the 32-bit range. Matching stops at the first
// mismatch or at the end of the text; targets already stored keep their
// values and later targets are not touched. Returns the number of targets
// stored.
// REQUIRES: `format` has exactly as many conversions as `targets` entries.
int ScanText(std::string_view text, std::string_view format,
             std::initializer_list<ScanTarget> targets);

}  // namespace tallora

#endif  // TALLORA_INPUT_TEXT_SCAN_H_
