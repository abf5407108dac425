#include "input/line_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tallora {
namespace {

// Bytes read from the file per refill.
constexpr std::size_t kChunk = std::size_t{1} << 16;

}  // namespace

LineReader::LineReader(std::FILE* file)
    : file_(file),
      // Zeroed once, so that the padding and the bytes past the data that
      // a field search looks at are always set.
      buffer_(std::make_unique<char[]>(kChunk + kReserveMax + kScanPadding)),
      capacity_(kChunk + kReserveMax) {}

LineReader::LineReader(std::string_view content)
    : buffer_(std::make_unique<char[]>(content.size() + kScanPadding)),
      capacity_(content.size()),
      end_(content.size()),
      source_done_(true) {
  std::copy(content.begin(), content.end(), buffer_.get());
  feeds_.Build(buffer_.get(), end_);
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
  feeds_.Build(buffer_.get(), end_);
}

void LineReader::Refill(std::size_t wanted) {
  // The one place a stop request is looked at: the input ends at the line
  // the next read would have started.
  // Input already read to its end is not ended early.
  if (StopAsked() && !ended_early_ && !(source_done_ && pos_ == end_))
      [[unlikely]] {
    end_ = pos_;
    source_done_ = true;
    ended_early_ = true;
  }
  Fill(wanted);
}

bool LineReader::NextIs(std::string_view bytes) {
  if (bytes.size() > kMaxLimit) {
    return false;
  }
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
