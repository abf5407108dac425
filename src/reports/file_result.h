// What became of opening, writing or closing one report file.
#ifndef TALLORA_REPORTS_FILE_RESULT_H_
#define TALLORA_REPORTS_FILE_RESULT_H_

#include <cstddef>
#include <string>

namespace tallora {

struct FileResult {
  enum class Failure { kNone, kOpen, kWrite, kClose };

  Failure failure = Failure::kNone;
  // The errno value of the failed operation.
  int error = 0;
  // Whole lines that did not reach the file.
  std::size_t lines_lost = 0;
  // kOpen: a folder of the file that could not be made, and why; empty when
  // the open failed for another reason.
  std::string folder;
  int folder_error = 0;
  // kWrite: true iff the file was left ending in part of a line, because the
  // failed write could not be cut back (cut_error is then why, or 0 when
  // another process had appended to the file meanwhile).
  bool part_line_left = false;
  int cut_error = 0;
  // True iff the file ended in part of a line before this run wrote to it,
  // and one line feed was appended to end that line first.
  bool mended = false;

  bool ok() const { return failure == Failure::kNone; }
};

}  // namespace tallora

#endif  // TALLORA_REPORTS_FILE_RESULT_H_
