// The block state: header fields, segment list, event list and admin line of
// the block being processed.
#ifndef TALLORA_INPUT_BLOCK_STATE_H_
#define TALLORA_INPUT_BLOCK_STATE_H_

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

#include "input/text_slot.h"

namespace tallora {

using DurationText = TextSlot<15>;

// Rows and columns of the header's duration grid.
inline constexpr std::size_t kGridRows = 13;
inline constexpr std::size_t kGridColumns = 9;

// Header fields, by the line of the block they come from.
struct BlockHeader {
  TextSlot<20> unit_label;   // line 3
  TextSlot<20> unit_number;  // line 4
  TextSlot<30> block_date;   // line 7
  TextSlot<20> line_9;
  TextSlot<20> line_10;
  TextSlot<20> line_11;
  TextSlot<15> line_13;
  // Lines 18 to 134, row by row: the cell in row r and column c is line
  // 18 + 9 * r + c.
  std::array<std::array<DurationText, kGridColumns>, kGridRows> duration_grid;
  TextSlot<15> line_149;
  TextSlot<15> line_150;
  TextSlot<15> line_151;
  TextSlot<15> line_152;
  TextSlot<15> line_159;
  TextSlot<15> mode_code;  // line 205
};

// One segment of a block: the fields kept from its 37 lines. The four texts
// of lines 33 to 36 are cut at line end when read; the others are stored as
// read.
struct SegmentRecord {
  TextSlot<10> summed_count_b;  // line 5
  TextSlot<15> summed_time_a;   // line 6
  TextSlot<15> summed_time_c;   // line 7
  TextSlot<12> dhe_text_1;      // line 11
  TextSlot<12> dhe_text_2;      // line 12
  TextSlot<15> summed_time_b;   // line 28
  TextSlot<16> summed_count_a;  // line 29
  TextSlot<60> start_text;      // line 33
  TextSlot<60> end_text;        // line 34
  TextSlot<25> start_stamp;     // line 35
  TextSlot<25> end_stamp;       // line 36
};

// Width of the event timestamp and text slots, terminator included.
inline constexpr std::size_t kEventTimestampWidth = 30;
inline constexpr std::size_t kEventTextWidth = 300;

// A kept event: both lines as stored, line ends included.
struct EventView {
  std::string_view timestamp;
  std::string_view text;
};

// The kept events of a block in file order. Texts are packed one after the
// other, so that a block's events cost about what they take in the export.
class EventList {
 public:
  // Appends an event, each line kept as its slot would keep it: up to its
  // first NUL byte, at most the slot's capacity.
  void Append(std::string_view timestamp, std::string_view text);
  void Append(const TextSlot<kEventTimestampWidth>& timestamp,
              const TextSlot<kEventTextWidth>& text) {
    Append(timestamp.view(), text.view());
  }
  // Forgets every event; the storage is kept for the next block.
  void Clear();

  std::size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  // REQUIRES: i < size().
  EventView operator[](std::size_t i) const;

 private:
  struct Entry {
    std::size_t offset;
    std::size_t timestamp_size;
    std::size_t text_size;
  };
  std::vector<char> bytes_;
  std::vector<Entry> entries_;
};

// Everything read of the current block. Header fields that a block does not
// rewrite keep the previous block's text.
struct BlockState {
  BlockHeader header;
  // In file order; emptied at the end of each block.
  std::vector<SegmentRecord> segments;
  // The line that ended the segment list, as read.
  TextSlot<100> admin_line;
  EventList events;

  // Releases the block's segments and events.
  void ReleaseLists() {
    segments.clear();
    events.Clear();
  }
};

}  // namespace tallora

#endif  // TALLORA_INPUT_BLOCK_STATE_H_
