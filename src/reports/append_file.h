// One report file open for appending whole lines.
#ifndef TALLORA_REPORTS_APPEND_FILE_H_
#define TALLORA_REPORTS_APPEND_FILE_H_

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "reports/file_result.h"
#include "reports/file_system.h"

namespace tallora {

// A report file that only ever grows by whole lines. A write that fails part
// of the way is undone, so that the file never ends in part of a line that
// this run wrote; a file that already ends in part of a line (an earlier run
// cut off, or a hand edit) gets a line feed before the first new line, so
// that no line is glued onto another.
class AppendFile {
 public:
  // Opens the file at `path` through `file_system`, creating it when missing.
  // Returns nullptr, with the failure in *result, when it cannot be opened.
  static std::unique_ptr<AppendFile> Open(FileSystem* file_system,
                                          const std::string& path,
                                          FileResult* result);

  explicit AppendFile(std::unique_ptr<AppendHandle> handle, std::string path)
      : handle_(std::move(handle)),
        path_(std::move(path)),
        size_(handle_->size_at_open()) {}
  AppendFile(const AppendFile&) = delete;
  AppendFile& operator=(const AppendFile&) = delete;

  // Appends `pieces`, one after the other, in one write. When the write
  // fails, the file is cut back to its length before the write, provided it
  // still ends where the write left it; the result counts the lines lost.
  // REQUIRES: the pieces together are empty or end with a line feed.
  FileResult Write(std::span<const std::string_view> pieces);
  FileResult Write(std::string_view lines) {
    return Write(std::span<const std::string_view>(&lines, 1));
  }

  // Closes the file. A failed close means that lines already written may be
  // lost.
  FileResult Close();

  // True the first time it is called for this open file, false after: lets
  // a caller count files rather than writes.
  bool FirstCount() { return !std::exchange(counted_, true); }

  // Tells the file that it ends in a whole line, as this run's own writes
  // left it, so that the first write need not look at its end.
  void EndKnownWhole() { end_checked_ = true; }
  // True iff this run knows the file ends in a whole line (or is empty).
  bool ends_whole_line() const { return end_checked_; }
  // The file's length as this run's writes tell it.
  std::uint64_t size() const { return size_; }
  std::uint64_t size_at_open() const { return handle_->size_at_open(); }

  const std::string& path() const { return path_; }
  FileId id() const { return handle_->id(); }

 private:
  // Appends a line feed when the file ends in part of a line.
  // Returns false, with the failure in *result, when that write fails.
  bool MendPartLine(FileResult* result);

  std::unique_ptr<AppendHandle> handle_;
  std::string path_;
  // False until the file's end has been looked at, and again after a write
  // that may have left part of a line.
  bool end_checked_ = false;
  // The file's length as this run's writes tell it: its length at open plus
  // what was written since. Other processes' appends are not counted.
  std::uint64_t size_;
  bool counted_ = false;
};

// The number of line feeds in `text`.
std::size_t CountLines(std::string_view text);
// The number of line feeds in the pieces, one after the other, from byte
// `from` on.
std::size_t CountLines(std::span<const std::string_view> pieces,
                       std::size_t from = 0);

}  // namespace tallora

#endif  // TALLORA_REPORTS_APPEND_FILE_H_
