#include "input/line_reader.h"

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <cstring>

namespace tallora {
namespace {

constexpr std::size_t kChunk = std::size_t{1} << 20;

}  // namespace

LineReader::LineReader(std::FILE* file)
    : file_(file),
      // Not zeroed: only bytes read from the file are ever looked at.
      buffer_(std::make_unique_for_overwrite<char[]>(kChunk + kMaxLimit)),
      capacity_(kChunk + kMaxLimit) {}

LineReader::LineReader(std::string_view content)
    : buffer_(std::make_unique_for_overwrite<char[]>(content.size())),
      capacity_(content.size()),
      end_(content.size()),
      source_done_(true) {
  if (!content.empty()) {
    std::memcpy(buffer_.get(), content.data(), content.size());
  }
}

void LineReader::Fill(std::size_t wanted) {
  if (source_done_ || end_ - pos_ >= wanted) {
    return;
  }
  if (interrupts_ != nullptr &&
      interrupts_->load(std::memory_order_relaxed) >= end_at_) {
    source_done_ = true;
    ended_early_ = true;
    return;
  }
  // Keep the unread tail and refill the rest of the buffer in one chunk.
  const std::size_t tail = end_ - pos_;
  std::memmove(buffer_.get(), buffer_.get() + pos_, tail);
  pos_ = 0;
  end_ = tail;
  while (end_ < wanted && !source_done_) {
    const std::size_t got =
        std::fread(buffer_.get() + end_, 1, capacity_ - end_, file_);
    end_ += got;
    if (got == 0) {
      source_done_ = true;
      if (std::ferror(file_) != 0) {
        error_ = true;
        error_number_ = errno;
      }
    }
  }
}

bool LineReader::ReadLine(std::size_t limit, std::string_view* line) {
  assert(limit >= 2 && limit <= kMaxLimit);
  const std::size_t most = limit - 1;
  if (end_ - pos_ < most) {
    Fill(most);
  }
  const std::size_t available = end_ - pos_;
  if (available == 0) {
    eof_ = true;
    return false;
  }
  const char* start = buffer_.get() + pos_;
  const std::size_t span = std::min(available, most);
  const void* feed = std::memchr(start, '\n', span);
  std::size_t length = span;
  if (feed != nullptr) {
    length =
        static_cast<std::size_t>(static_cast<const char*>(feed) - start) + 1;
  } else if (span < most) {
    // The input ended before a line feed or the limit was reached.
    eof_ = true;
  }
  pos_ += length;
  *line = std::string_view(start, length);
  return true;
}

}  // namespace tallora

namespace tallora {

bool LineReader::NextIs(std::string_view bytes) {
  assert(bytes.size() < kMaxLimit);
  if (end_ - pos_ < bytes.size()) {
    Fill(bytes.size());
  }
  return end_ - pos_ >= bytes.size() &&
         std::string_view(buffer_.get() + pos_, bytes.size()) == bytes;
}

bool LineReader::SkipIfNext(std::string_view bytes) {
  if (!NextIs(bytes)) {
    return false;
  }
  pos_ += bytes.size();
  return true;
}

}  // namespace tallora
