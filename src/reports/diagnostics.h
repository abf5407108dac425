// One-line diagnostics on standard error, and whether any failure happened.
#ifndef TALLORA_REPORTS_DIAGNOSTICS_H_
#define TALLORA_REPORTS_DIAGNOSTICS_H_

#include <cstdio>
#include <set>
#include <string>
#include <string_view>

#include "reports/file_result.h"

namespace tallora {

// Writes each diagnostic as one line "tallora: <what>: <subject>[: <reason>]"
// and remembers whether the run has failed.
class Diagnostics {
 public:
  explicit Diagnostics(std::FILE* sink = stderr) : sink_(sink) {}

  // A report file that could not be opened, written or closed, naming the
  // lines lost; a failed open caused by a folder that could not be made
  // names that folder and its reason.
  // REQUIRES: !result.ok().
  void FileFailed(std::string_view path, const FileResult& result);
  // A warning: the report file at `path` ended in part of a line, and a line
  // feed was appended to it before the new lines.
  void MendedPartLine(std::string_view path);
  // A name from the export that cannot be a folder or file name. Each name
  // is reported once per block.
  void UnusableName(std::string_view name);
  // Any other failure of the run, with its own text; `error` 0 gives no
  // reason.
  void Failure(std::string_view what, std::string_view subject, int error);

  // Starts a new block: names reported before may be reported again.
  void StartBlock() { rejected_names_.clear(); }

  // True iff any failure was reported.
  bool failed() const { return failed_; }

 private:
  void Line(std::string_view what, std::string_view subject,
            std::string_view reason);

  std::FILE* sink_;
  std::set<std::string, std::less<>> rejected_names_;
  bool failed_ = false;
};

// `name` in double quotes, with bytes that a console would not show (and the
// quote and backslash themselves) written as \xNN.
std::string Quoted(std::string_view name);

}  // namespace tallora

#endif  // TALLORA_REPORTS_DIAGNOSTICS_H_
