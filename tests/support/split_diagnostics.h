// The standard error of a run, split into its kinds of line.
#ifndef TALLORA_TESTS_SUPPORT_SPLIT_DIAGNOSTICS_H_
#define TALLORA_TESTS_SUPPORT_SPLIT_DIAGNOSTICS_H_

#include <string>
#include <string_view>

namespace tallora::testing {

// Splits the standard error of a run into failure lines (returned), warning
// lines ("tallora: warning: ...", into *warnings) and the summary line
// ("tallora: summary: ...", into *summary), each with its line feed.
inline std::string SplitDiagnostics(std::string_view text,
                                    std::string* warnings,
                                    std::string* summary) {
  std::string failures;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line =
        text.substr(0, end == std::string_view::npos ? text.size() : end + 1);
    text.remove_prefix(line.size());
    std::string* to = line.starts_with("tallora: warning: ")   ? warnings
                      : line.starts_with("tallora: summary: ") ? summary
                                                               : &failures;
    to->append(line);
  }
  return failures;
}

}  // namespace tallora::testing

#endif  // TALLORA_TESTS_SUPPORT_SPLIT_DIAGNOSTICS_H_
