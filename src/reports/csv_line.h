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

// True iff a spreadsheet opening a CSV file would take `name` as a formula
// to run: it starts with '=', '+' or '@', or with '-' not followed by a
// digit.
inline bool LooksLikeFormula(std::string_view name) {
  if (name.empty()) {
    return false;
  }
  if (name[0] == '=' || name[0] == '+' || name[0] == '@') {
    return true;
  }
  return name[0] == '-' &&
         !(name.size() > 1 && name[1] >= '0' && name[1] <= '9');
}

// A line of comma-separated fields written as they stand, without quoting,
// appended to a text. Remembers whether a field held a comma of its own,
// which shifts every later column of the line.
class CsvLine {
 public:
  // Appends to `*out`. When `continues`, the line goes on fields already in
  // `*out`, and the first field added is preceded by a comma.
  // REQUIRES: `out` outlives the line.
  explicit CsvLine(std::string* out, bool continues = false)
      : out_(out), first_(!continues) {}

  CsvLine& Add(std::string_view text) {
    Separate();
    return Then(text);
  }
  // As Add(text), for a text known to hold a comma iff `holds_comma`.
  CsvLine& Add(std::string_view text, bool holds_comma) {
    Separate();
    return Then(text, holds_comma);
  }
  CsvLine& Add(std::int64_t number) {
    Separate();
    AppendDecimal(number, out_);
    return *this;
  }
  // Appends `text` to the last field, with no separator.
  CsvLine& Then(std::string_view text) {
    return Then(text, text.find(',') != std::string_view::npos);
  }
  CsvLine& Then(std::string_view text, bool holds_comma) {
    comma_ = comma_ || holds_comma;
    out_->append(text);
    return *this;
  }
  // Ends the line with a single line feed.
  void End() { out_->push_back('\n'); }

  // True iff a field held a comma.
  bool field_holds_comma() const { return comma_; }

 private:
  void Separate() {
    if (!first_) {
      out_->push_back(',');
    }
    first_ = false;
  }

  std::string* out_;
  bool first_;
  bool comma_ = false;
};

}  // namespace tallora

#endif  // TALLORA_REPORTS_CSV_LINE_H_
