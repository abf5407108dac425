// Readers of the three sections of a block: header, segment list, events.
#ifndef TALLORA_INPUT_SECTION_READERS_H_
#define TALLORA_INPUT_SECTION_READERS_H_

#include <cstdint>

#include "input/block_state.h"
#include "input/line_reader.h"

namespace tallora {

// Finds the next block marker line (a line with "tr" at positions 0 and 1
// and "h" at position 4) and reads the 207 header lines after it into
// `header`, each with its own read limit. Lines before the marker are passed
// over. Returns false iff the input's end-of-file state is set once the
// marker scan stops: there is then no further block, even when a marker
// line was the input's last line. Header reads that fail at end of input
// leave their fields as the previous block left them.
bool ReadBlockHeader(LineReader* in, BlockHeader* header);

// Reads the segment list that follows a block header, one segment at a
// time: each is a group of 37 lines that starts with a line beginning "tr".
// The line after a segment's 36 further lines (its line 37) is the next
// segment's first line or, when it does not begin with "tr", the admin line
// that ends the list. No segment is started once the end-of-file state is
// set; the list then has no admin line. A block whose first line after the
// header does not begin with "tr" has no segments, and that line is its
// admin line.
class SegmentReader {
 public:
  // REQUIRES: `in` stands at the first line after a block header, and
  // outlives this reader.
  explicit SegmentReader(LineReader* in) : in_(in) {}

  // Reads the next segment into `*segment` and returns true, or returns
  // false once the list has ended. The fields of a segment start empty: one
  // cut short by the end of input keeps what was read of it.
  bool Next(SegmentRecord* segment);

  // The event count of the admin line: its number after "Admin" and optional
  // white space, saturating at the 32-bit range; 0 when the line does not
  // read so or the list had no admin line.
  // REQUIRES: Next() returned false.
  std::int32_t event_count() const { return event_count_; }

 private:
  LineReader* in_;
  bool first_ = true;
  bool ended_ = false;
  std::int32_t event_count_ = 0;
};

// Reads a block's events, each two lines: a timestamp line and a text line.
// Events whose text begins "Pe" are read and dropped.
class EventReader {
 public:
  // Reads at most `count` events (none when `count` is 0 or less).
  // REQUIRES: `in` stands at the first event line, and outlives this reader.
  EventReader(LineReader* in, std::int32_t count)
      : in_(in), remaining_(count) {}

  // Reads the next kept event into `*event` and returns true, or returns
  // false once `count` events were read or a read failed at end of input
  // (the event it was part of is dropped).
  bool Next(EventRecord* event);

 private:
  LineReader* in_;
  std::int32_t remaining_;
};

}  // namespace tallora

#endif  // TALLORA_INPUT_SECTION_READERS_H_
