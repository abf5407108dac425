#include "reports/append_file.h"

#include <algorithm>

namespace tallora {

std::size_t CountLines(std::string_view text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

std::size_t CountLines(std::span<const std::string_view> pieces,
                       std::size_t from) {
  std::size_t lines = 0;
  for (std::string_view piece : pieces) {
    const std::size_t skip = from < piece.size() ? from : piece.size();
    from -= skip;
    lines += CountLines(piece.substr(skip));
  }
  return lines;
}

namespace {

// The byte at `offset` of the pieces, one after the other.
// REQUIRES: offset is less than their total size.
char ByteAt(std::span<const std::string_view> pieces, std::size_t offset) {
  for (const std::string_view piece : pieces) {
    if (offset < piece.size()) {
      return piece[offset];
    }
    offset -= piece.size();
  }
  return '\0';
}

}  // namespace

std::unique_ptr<AppendFile> AppendFile::Open(FileSystem* file_system,
                                             const std::string& path,
                                             FileResult* result) {
  int error = 0;
  std::unique_ptr<AppendHandle> handle =
      file_system->OpenForAppend(path, &error);
  if (handle == nullptr) {
    result->failure = FileResult::Failure::kOpen;
    result->error = error;
    return nullptr;
  }
  return std::make_unique<AppendFile>(std::move(handle), path);
}

bool AppendFile::MendPartLine(FileResult* result) {
  end_checked_ = true;
  int error = 0;
  char last = '\n';
  if (size_ == 0 || !handle_->ReadByte(size_ - 1, &last, &error) ||
      last == '\n') {
    // A file whose end cannot be read is written to as it is: the write
    // reports what goes wrong with it.
    return true;
  }
  std::size_t written = 0;
  if (!handle_->Append("\n", &written, &error)) {
    end_checked_ = false;
    result->failure = FileResult::Failure::kWrite;
    result->error = error;
    return false;
  }
  ++size_;
  result->mended = true;
  return true;
}

FileResult AppendFile::Write(std::span<const std::string_view> pieces) {
  FileResult result;
  std::size_t size = 0;
  for (const std::string_view piece : pieces) {
    size += piece.size();
  }
  if (size == 0) {
    return result;
  }
  if (!end_checked_ && !MendPartLine(&result)) {
    result.lines_lost = CountLines(pieces);
    return result;
  }
  // Where this run's own writes have left the end of the file; another
  // process appending since makes it stale, which only makes the undo
  // below more careful.
  const std::uint64_t before = size_;
  int error = 0;
  std::size_t written = 0;
  if (handle_->Append(pieces, &written, &error)) {
    size_ = before + written;
    return result;
  }
  result.failure = FileResult::Failure::kWrite;
  result.error = error;
  if (written == 0) {
    result.lines_lost = CountLines(pieces);
    return result;
  }
  // Undo the part that was written, but only while the file still ends
  // where this write left it: bytes another process appended are not this
  // run's to remove.
  std::uint64_t now = 0;
  int cut_error = 0;
  if (handle_->Size(&now, &cut_error) && now == before + written) {
    if (handle_->CutBack(before, &cut_error)) {
      result.lines_lost = CountLines(pieces);
      return result;
    }
  } else {
    cut_error = 0;
  }
  size_ = now;
  result.lines_lost = CountLines(pieces, written);
  result.part_line_left = ByteAt(pieces, written - 1) != '\n';
  result.cut_error = cut_error;
  end_checked_ = !result.part_line_left;
  return result;
}

FileResult AppendFile::Close() {
  FileResult result;
  int error = 0;
  if (!handle_->Close(&error)) {
    result.failure = FileResult::Failure::kClose;
    result.error = error;
  }
  return result;
}

}  // namespace tallora
