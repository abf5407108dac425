#include "input/line_reader.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace tallora {
namespace {

constexpr std::size_t kChunk = std::size_t{1} << 20;

}  // namespace

LineReader::LineReader(std::FILE* file)
    : file_(file), buffer_(kChunk + kMaxLimit) {}

LineReader::LineReader(std::string_view content)
    : buffer_(content.begin(), content.end()),
      end_(content.size()),
      source_done_(true) {}

void LineReader::Fill(std::size_t wanted) {
  if (source_done_ || end_ - pos_ >= wanted) {
    return;
  }
  // Keep the unread tail and refill the rest of the buffer in one chunk.
  const std::size_t tail = end_ - pos_;
  std::memmove(buffer_.data(), buffer_.data() + pos_, tail);
  pos_ = 0;
  end_ = tail;
  while (end_ < wanted && !source_done_) {
    const std::size_t got =
        std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
    end_ += got;
    if (got == 0) {
      source_done_ = true;
      error_ = std::ferror(file_) != 0;
    }
  }
}

bool LineReader::ReadLine(std::size_t limit, std::string_view* line) {
  assert(limit >= 2 && limit <= kMaxLimit);
  const std::size_t most = limit - 1;
  Fill(most);
  const std::size_t available = end_ - pos_;
  if (available == 0) {
    eof_ = true;
    return false;
  }
  const char* start = buffer_.data() + pos_;
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
