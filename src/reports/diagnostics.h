// One-line diagnostics on standard error: failures as they happen, warnings
// and a summary at the end of the run.
#ifndef TALLORA_REPORTS_DIAGNOSTICS_H_
#define TALLORA_REPORTS_DIAGNOSTICS_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "reports/file_result.h"

namespace tallora {

// What is read faithfully but plainly is not what the export means.
enum class Warning {
  kSkippedOutsideBlock,
  kLineTooLong,
  kNotAdminLine,
  kMarkerReadAsEvent,
  kEndsInsideBlock,
  kLocationNotParsed,
  kMoreWordsThanKept,
  kNameCut,
  kNodeTableFull,
  kComma,
  kFormula,
  kMendedReportFile,
  kNoSettings,
  kRootEndsInSpace,
  kRootWithoutSeparator,
};
inline constexpr std::size_t kWarningKinds =
    static_cast<std::size_t>(Warning::kRootWithoutSeparator) + 1;

// Writes each failure as one line "tallora: <what>: <subject>[: <reason>]"
// as it happens, at most kShownPerKind of each kind, and remembers that the
// run has failed. Warnings are counted by kind, with the place of the first
// of each, and written by Finish(); they never make the run fail.
class Diagnostics {
 public:
  // Failure lines of one kind written before the rest are only counted.
  static constexpr std::size_t kShownPerKind = 10;

  explicit Diagnostics(std::FILE* sink = stderr) : sink_(sink) {}

  // A report file that could not be opened, written or closed, naming the
  // lines lost; a failed open caused by a folder that could not be made
  // names that folder and its reason. A file that ended in part of a line
  // and was mended is a warning.
  void FileFailed(std::string_view path, const FileResult& result);
  // A name from the export that cannot be a folder or file name. Each name
  // is reported once per block.
  void UnusableName(std::string_view name);
  // Any other failure of the run, with its own text; `error` 0 gives no
  // reason.
  void Failure(std::string_view what, std::string_view subject, int error);
  void Failure(std::string_view what, std::string_view subject,
               std::string_view reason) {
    FailureLine(what, what, subject, reason);
  }
  // From now on, failures to open report files are counted as failures but
  // not written: they follow from a failure already reported (an output
  // root that does not exist).
  void HideOpenFailures() { hide_open_failures_ = true; }

  // Counts `count` warnings of `kind`; for the first of its kind, `place()`
  // says where it is (an input line and block, a file).
  template <typename Place>
  void Warn(Warning kind, std::uint64_t count, Place&& place) {
    WarningCount& counted = warnings_[static_cast<std::size_t>(kind)];
    if (count > 0 && counted.count == 0) {
      counted.first_place = place();
    }
    counted.count += count;
  }
  template <typename Place>
  void Warn(Warning kind, Place&& place) {
    Warn(kind, 1, std::forward<Place>(place));
  }

  // The block being read and written, for the places of warnings in it.
  // The texts must stay as they are until the next call.
  void SetBlock(std::uint64_t marker_line, std::string_view unit_label,
                std::string_view block_date) {
    block_line_ = marker_line;
    block_label_ = unit_label;
    block_date_ = block_date;
  }
  // Where input line `line` is: the line, and the block set last, if any.
  std::string InputPlace(std::uint64_t line) const;
  // A warning of `kind` in the block set last.
  void WarnInBlock(Warning kind) {
    Warn(kind, [&] { return InputPlace(block_line_); });
  }
  std::uint64_t warnings(Warning kind) const {
    return warnings_[static_cast<std::size_t>(kind)].count;
  }

  // Writes how many failure lines of each kind were not shown, one line per
  // warning kind seen, and then `summary` as "tallora: summary: ...".
  void Finish(std::string_view summary);

  // Starts a new block: names reported before may be reported again.
  void StartBlock() { rejected_names_.clear(); }

  // True iff any failure was reported.
  bool failed() const { return failed_; }

 private:
  struct WarningCount {
    std::uint64_t count = 0;
    std::string first_place;
  };

  // Writes a failure line of `kind` unless kShownPerKind were written;
  // `lines_lost` is its count of lost lines, summed for the lines not shown.
  void FailureLine(std::string_view kind, std::string_view what,
                   std::string_view subject, std::string_view reason,
                   std::size_t lines_lost = 0);
  void Write(std::string line);

  std::FILE* sink_;
  std::set<std::string, std::less<>> rejected_names_;
  struct FailureCount {
    std::uint64_t lines = 0;
    std::uint64_t hidden_lines_lost = 0;
  };
  std::map<std::string, FailureCount, std::less<>> failures_by_kind_;
  std::array<WarningCount, kWarningKinds> warnings_{};
  std::uint64_t block_line_ = 0;
  std::string_view block_label_;
  std::string_view block_date_;
  bool hide_open_failures_ = false;
  bool failed_ = false;
};

// `name` in double quotes, with bytes that a console would not show (and the
// quote and backslash themselves) written as \xNN.
std::string Quoted(std::string_view name);

}  // namespace tallora

#endif  // TALLORA_REPORTS_DIAGNOSTICS_H_
