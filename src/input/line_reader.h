// Bounded line reading over a large read-ahead buffer.
#ifndef TALLORA_INPUT_LINE_READER_H_
#define TALLORA_INPUT_LINE_READER_H_

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string_view>

#include "input/buffer_scan.h"
#include "input/read_notes.h"
#include "text/text_slot.h"

namespace tallora {

// Reads an input line by line, each read bounded by its read limit N: a read
// takes characters until it has taken a line feed, N-1 characters, or the
// input ends. The line feed, when reached, stays in the line. A longer line
// is split, and its remainder is what the next read sees.
//
// Reads hand out views of the reader's buffer. A view stays valid until a
// read finds fewer bytes buffered than its limit asks for and refills the
// buffer; Reserve() makes a group of reads safe from that.
class LineReader {
 public:
  // The largest read limit; a larger limit is taken as this one.
  static constexpr std::size_t kMaxLimit = 4096;
  // The most a Reserve() may ask for.
  static constexpr std::size_t kReserveMax = 16384;

  // Reads from `file`, which is not owned and must stay open while reading.
  explicit LineReader(std::FILE* file);
  // Reads from a copy of `content`.
  explicit LineReader(std::string_view content);

  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // Bounded line read with limit `limit` (at least 2). Returns true iff at
  // least one character was read; `*line` then views the characters. At end
  // of input with nothing left, returns false and leaves `*line` unchanged.
  bool ReadLine(std::size_t limit, std::string_view* line) {
    std::size_t start;
    std::size_t size;
    if (!Take(limit, &start, &size)) {
      return false;
    }
    *line = {buffer_.get() + start, size};
    return true;
  }

  // As ReadLine, with `*text` viewing what a slot of width `width` keeps of
  // the line (SlotKeeps): the line end stays in it.
  bool ReadStored(std::size_t limit, std::size_t width,
                  std::string_view* text) {
    std::string_view kept;
    if (!TakeKept(limit, width, &kept)) {
      return false;
    }
    *text = kept.substr(0, FindNul(kept.data(), kept.size()));
    return true;
  }

  // As ReadStored, with the text cut at line end as well. This is where
  // every field of the export is cut: `*field` ends before the line's first
  // carriage return, line feed or NUL byte, and holds at most width-1 bytes.
  bool ReadField(std::size_t limit, std::size_t width,
                 std::string_view* field) {
    std::string_view kept;
    if (!TakeKept(limit, width, &kept)) {
      return false;
    }
    *field = kept.substr(0, FindFieldEnd(kept.data(), kept.size()));
    return true;
  }

  // ReadStored and ReadField at once: `*text` views what the slot keeps of
  // the line and `*field` the same cut at line end.
  bool ReadStoredAndField(std::size_t limit, std::size_t width,
                          std::string_view* text, std::string_view* field) {
    std::string_view line;
    if (!TakeKept(limit, width, &line)) {
      return false;
    }
    const char* data = line.data();
    const std::size_t kept = line.size();
    const std::size_t cut = FindFieldEnd(data, kept);
    // Only a carriage return lets the stored text go on past the cut: a line
    // feed is a line's last byte, and a NUL ends the stored text too.
    std::size_t stored = cut;
    if (cut < kept && data[cut] == '\r') {
      stored = cut + FindNul(data + cut, kept - cut);
    } else if (cut < kept && data[cut] == '\n') {
      stored = kept;
    }
    *text = {data, stored};
    *field = {data, cut};
    return true;
  }

  // ReadField into `slot`, whose width is the field's; on failure the slot
  // keeps its previous text.
  template <std::size_t kWidth>
  bool ReadField(std::size_t limit, TextSlot<kWidth>* slot) {
    std::string_view field;
    if (!ReadField(limit, kWidth, &field)) {
      return false;
    }
    if constexpr (kWidth - 1 <= kScanPadding) {
      // The buffer's padding lets a narrow slot take its whole width at once.
      slot->AssignFromPadded(field.data(), field.size());
    } else {
      slot->AssignNulFree(field);
    }
    return true;
  }

  // True iff the unread input starts with `bytes`, at most kMaxLimit of
  // them. Does not consume them.
  bool NextIs(std::string_view bytes);
  // Consumes `bytes` when the unread input starts with them. Returns true
  // iff it did.
  bool SkipIfNext(std::string_view bytes);

  // A bounded line read whose text is thrown away.
  bool SkipLine(std::size_t limit) {
    std::size_t start;
    std::size_t size;
    return Take(limit, &start, &size);
  }

  // `count` skipped lines with the same limit.
  void SkipLines(int count, std::size_t limit) {
    const std::size_t most = Most(limit);
    if (count <= 0 || end_ - pos_ < static_cast<std::size_t>(count) * most) {
      for (int i = 0; i < count; ++i) {
        SkipLine(limit);
      }
      return;
    }
    // Every read finds its limit's worth buffered, so none refills or meets
    // the end of input: the lines are skipped in local variables.
    std::size_t pos = pos_;
    std::uint64_t lines = lines_ended_;
    std::uint64_t line_number = 0;
    for (int i = 0; i < count; ++i) {
      const std::size_t feed = feeds_.Find(pos, most);
      line_number = lines + 1;
      if (feed < most) {
        pos += feed + 1;
        ++lines;
      } else {
        pos += most;
        notes_.Note(ReadNote::kLineTooLong, line_number);
      }
    }
    pos_ = pos;
    lines_ended_ = lines;
    line_number_ = line_number;
  }

  // Makes sure that the next reads, as long as their limits less one add up
  // to at most `bytes`, find their bytes buffered, so that the views they
  // hand out stay valid together until a later read.
  // REQUIRES: bytes <= kReserveMax.
  void Reserve(std::size_t bytes) {
    if (end_ - pos_ < bytes || StopAsked()) [[unlikely]] {
      Refill(bytes < kReserveMax ? bytes : kReserveMax);
    }
  }

  // True iff a read has tried to take a further character and found none.
  // A read that stops at a line feed or at its limit leaves it unset, even
  // when nothing follows.
  bool eof() const { return eof_; }

  // Makes the input end as RequestStop() does once `*interrupts` has
  // reached `at`. `interrupts` must outlive the reader.
  void EndWhen(const std::atomic<int>* interrupts, int at) {
    interrupts_ = interrupts;
    end_at_ = at;
  }
  // True iff the input was ended by a stop rather than by its end.
  bool ended_early() const { return ended_early_; }

  // True iff reading the file failed for a reason other than its end; the
  // input then counts as ended where the failure happened.
  bool error() const { return error_; }
  // The errno value of the failed read; meaningful iff error().
  int error_number() const { return error_number_; }

  // The 1-based number of the input line the last successful read started
  // in; the remainder of a split line is still the same input line. 0 before
  // the first read.
  std::uint64_t line_number() const { return line_number_; }

  // What the readers of this input noticed of it; lines split at their
  // read limit are noted here.
  ReadNotes& notes() { return notes_; }

  // Makes the input end, as if nothing followed, at the next Reserve() or
  // refill of the buffer: at the latest where the next block header,
  // segment or event starts. Safe to call from a signal handler: it only
  // sets a lock-free flag.
  void RequestStop() { stop_requested_.store(true, std::memory_order_relaxed); }

 private:
  // The most a read with limit `limit` takes: limit-1, the limit taken
  // between 2 and kMaxLimit.
  static std::size_t Most(std::size_t limit) {
    return (limit < 2 ? 2 : limit > kMaxLimit ? kMaxLimit : limit) - 1;
  }

  // Bytes of a `size`-byte line that a slot of width `width` may keep.
  static std::size_t Kept(std::size_t size, std::size_t width) {
    return width == 0 || size < width - 1 ? size : width - 1;
  }

  // Take, with `*kept` viewing the bytes of the line that a slot of width
  // `width` may keep.
  bool TakeKept(std::size_t limit, std::size_t width, std::string_view* kept) {
    std::size_t start;
    std::size_t size;
    if (!Take(limit, &start, &size)) {
      return false;
    }
    *kept = {buffer_.get() + start, Kept(size, width)};
    return true;
  }

  // The one step every read goes through: takes the next line of at most
  // limit-1 bytes, refilling the buffer when fewer are buffered, and sets
  // [*start, *start + *size) to it. Returns false at end of input.
  bool Take(std::size_t limit, std::size_t* start, std::size_t* size) {
    const std::size_t most = Most(limit);
    if (end_ - pos_ < most) [[unlikely]] {
      Refill(most);
    }
    const std::size_t available = end_ - pos_;
    if (available == 0) {
      eof_ = true;
      return false;
    }
    const std::size_t span = available < most ? available : most;
    const std::size_t feed = feeds_.Find(pos_, span);
    std::size_t taken = span;
    line_number_ = lines_ended_ + 1;
    if (feed < span) {
      taken = feed + 1;
      ++lines_ended_;
    } else if (span < most) {
      // The input ended before a line feed or the limit was reached.
      eof_ = true;
    } else if (available > most || !source_done_) [[unlikely]] {
      notes_.Note(ReadNote::kLineTooLong, line_number_);
    }
    *start = pos_;
    *size = taken;
    pos_ += taken;
    return true;
  }

  // True iff the input is to end where it stands.
  bool StopAsked() const {
    return stop_requested_.load(std::memory_order_relaxed) ||
           (interrupts_ != nullptr &&
            interrupts_->load(std::memory_order_relaxed) >= end_at_);
  }

  // Where a stop request is taken, and the buffer refilled when it holds
  // fewer than `wanted` bytes.
  void Refill(std::size_t wanted);

  // Makes at least `wanted` bytes available past pos_, or all that remain.
  void Fill(std::size_t wanted);

  std::FILE* file_ = nullptr;
  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_ = 0;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  // The buffer holds capacity_ + kScanPadding bytes, all set.
  LineFeedIndex feeds_;
  std::uint64_t lines_ended_ = 0;  // line feeds read so far
  std::uint64_t line_number_ = 0;
  bool source_done_ = false;
  bool eof_ = false;
  bool error_ = false;
  int error_number_ = 0;
  ReadNotes notes_;
  std::atomic<bool> stop_requested_{false};
  static_assert(std::atomic<bool>::is_always_lock_free);
  const std::atomic<int>* interrupts_ = nullptr;
  int end_at_ = 0;
  bool ended_early_ = false;
};

}  // namespace tallora

#endif  // TALLORA_INPUT_LINE_READER_H_
