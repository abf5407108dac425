// Bounded line reading over a large read-ahead buffer.
#ifndef TALLORA_INPUT_LINE_READER_H_
#define TALLORA_INPUT_LINE_READER_H_

#include <atomic>
#include <cstddef>
#include <cstdio>
#include <memory>
#include <string_view>

#include "input/text_slot.h"

namespace tallora {

// Reads an input line by line, each read bounded by its read limit N: a read
// takes characters until it has taken a line feed, N-1 characters, or the
// input ends. The line feed, when reached, stays in the line. A longer line
// is split, and its remainder is what the next read sees.
class LineReader {
 public:
  // The largest read limit a caller may name.
  static constexpr std::size_t kMaxLimit = 4096;

  // Reads from `file`, which is not owned and must stay open while reading.
  explicit LineReader(std::FILE* file);
  // Reads from a copy of `content`.
  explicit LineReader(std::string_view content);

  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // Bounded line read with limit `limit`. Returns true iff at least one
  // character was read; `*line` then views the characters, valid until the
  // next read. At end of input with nothing left, returns false and leaves
  // `*line` unchanged.
  // REQUIRES: 2 <= limit <= kMaxLimit.
  bool ReadLine(std::size_t limit, std::string_view* line);

  // Bounded line read into `slot`: on success the slot holds the line up to
  // its first NUL byte, at most the slot's capacity; on failure the slot
  // keeps its previous text.
  template <std::size_t kWidth>
  bool ReadLine(std::size_t limit, TextSlot<kWidth>* slot) {
    std::string_view line;
    if (!ReadLine(limit, &line)) {
      return false;
    }
    slot->Assign(line);
    return true;
  }

  // True iff the unread input starts with `bytes`. Does not consume them.
  // REQUIRES: bytes.size() < kMaxLimit.
  bool NextIs(std::string_view bytes);
  // Consumes `bytes` when the unread input starts with them. Returns true
  // iff it did.
  // REQUIRES: bytes.size() < kMaxLimit.
  bool SkipIfNext(std::string_view bytes);

  // A bounded line read whose text is thrown away.
  bool SkipLine(std::size_t limit) {
    std::string_view unused;
    return ReadLine(limit, &unused);
  }

  // True iff a read has tried to take a further character and found none.
  // A read that stops at a line feed or at its limit leaves it unset, even
  // when nothing follows.
  bool eof() const { return eof_; }

  // Makes the input end where it stands, as if the file ended there, at the
  // first refill after `*interrupts` has reached `at`: from then on reads
  // fail as at the end of the input. `interrupts` must outlive the reader.
  void EndWhen(const std::atomic<int>* interrupts, int at) {
    interrupts_ = interrupts;
    end_at_ = at;
  }
  // True iff the input was ended by EndWhen() rather than by its end.
  bool ended_early() const { return ended_early_; }

  // True iff reading the file failed for a reason other than its end; the
  // input then counts as ended where the failure happened.
  bool error() const { return error_; }
  // The errno value of the failed read; meaningful iff error().
  int error_number() const { return error_number_; }

 private:
  // Makes at least `wanted` bytes available past pos_, or all that remain.
  void Fill(std::size_t wanted);

  std::FILE* file_ = nullptr;
  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_ = 0;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  bool source_done_ = false;
  bool eof_ = false;
  bool error_ = false;
  int error_number_ = 0;
  const std::atomic<int>* interrupts_ = nullptr;
  int end_at_ = 0;
  bool ended_early_ = false;
};

}  // namespace tallora

#endif  // TALLORA_INPUT_LINE_READER_H_
