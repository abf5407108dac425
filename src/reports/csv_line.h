// Report lines built without a format parser.
#ifndef TALLORA_REPORTS_CSV_LINE_H_
#define TALLORA_REPORTS_CSV_LINE_H_

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tallora {

// Appends the plain decimal text of `value`, with a minus sign when
// negative.
inline void AppendDecimal(std::int64_t value, std::string* line) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  line->append(digits, static_cast<std::size_t>(result.ptr - digits));
}

// A line of comma-separated fields written as they stand, without quoting.
class CsvLine {
 public:
  CsvLine() { line_.reserve(256); }

  CsvLine& Add(std::string_view text) {
    Separate();
    line_.append(text);
    return *this;
  }
  CsvLine& Add(std::int64_t number) {
    Separate();
    AppendDecimal(number, &line_);
    return *this;
  }
  // The fields and a single line feed.
  std::string Finish() {
    line_ += '\n';
    return std::move(line_);
  }

 private:
  void Separate() {
    if (!first_) {
      line_ += ',';
    }
    first_ = false;
  }

  std::string line_;
  bool first_ = true;
};

}  // namespace tallora

#endif  // TALLORA_REPORTS_CSV_LINE_H_
