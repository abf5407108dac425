// One-line diagnostics on standard error, and whether any failure happened.
#ifndef TALLORA_REPORTS_DIAGNOSTICS_H_
#define TALLORA_REPORTS_DIAGNOSTICS_H_

#include <cstdio>
#include <set>
#include <string>
#include <string_view>

namespace tallora {

// Writes each diagnostic as one line "tallora: <what>: <subject>[: <reason>]"
// and remembers that the run has failed.
class Diagnostics {
 public:
  explicit Diagnostics(std::FILE* sink = stderr) : sink_(sink) {}

  // A file that could not be opened; `error` is the errno value. Each path
  // is reported once per block.
  void CannotOpen(std::string_view path, int error);
  // A file that opened but whose data could not all be written or closed.
  void WriteFailed(std::string_view path, int error);
  // A name from the export that cannot be a folder or file name. Each name
  // is reported once per block.
  void UnusableName(std::string_view name);
  // Any other failure of the run, with its own text.
  void Failure(std::string_view what, std::string_view subject, int error);

  // Starts a new block: names and paths reported before may be reported
  // again.
  void StartBlock() {
    rejected_names_.clear();
    unopened_paths_.clear();
  }

  // True iff any failure was reported.
  bool failed() const { return failed_; }

 private:
  void Line(std::string_view what, std::string_view subject,
            const std::string& reason);

  std::FILE* sink_;
  std::set<std::string, std::less<>> rejected_names_;
  std::set<std::string, std::less<>> unopened_paths_;
  bool failed_ = false;
};

}  // namespace tallora

#endif  // TALLORA_REPORTS_DIAGNOSTICS_H_
