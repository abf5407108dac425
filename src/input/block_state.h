// What is read of a block: the header fields kept across blocks, and the
// segment and event records handed out one at a time as they are read.
#ifndef TALLORA_INPUT_BLOCK_STATE_H_
#define TALLORA_INPUT_BLOCK_STATE_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "text/text_slot.h"

namespace tallora {

// Rows of the header's duration grid, and the columns of each row that are
// summed; the ninth column of every row is never used, so it is not kept.
inline constexpr std::size_t kGridRows = 13;
inline constexpr std::size_t kGridColumns = 9;
inline constexpr std::size_t kGridSummedColumns = 8;

// Header fields, by the line of the block they come from, each as its slot
// keeps it and cut at line end. The header lives for the whole run: a field
// that a block does not rewrite (a header cut short by the end of input)
// keeps the previous block's text.
// The unit label as a block keeps it.
using UnitLabel = TextSlot<20>;

struct BlockHeader {
  std::uint64_t marker_line = 0;  // the input line of the block's marker
  TextSlot<20> unit_label;        // line 3
  TextSlot<20> unit_number;       // line 4
  TextSlot<30> block_date;        // line 7
  TextSlot<20> line_9;
  TextSlot<20> line_10;
  TextSlot<20> line_11;
  TextSlot<15> line_13;
  // Lines 18 to 134, row by row: the cell in row r and column c is line
  // 18 + 9 * r + c.
  std::array<std::array<DurationText, kGridSummedColumns>, kGridRows>
      duration_grid;
  TextSlot<15> line_149;
  TextSlot<15> line_150;
  TextSlot<15> line_151;
  TextSlot<15> line_152;
  TextSlot<15> line_159;
  TextSlot<15> mode_code;  // line 205
};

// Slot widths of the segment fields.
inline constexpr std::size_t kSummedCountAWidth = 16;
inline constexpr std::size_t kSummedCountBWidth = 10;
inline constexpr std::size_t kSummedTimeWidth = DurationText::width();
inline constexpr std::size_t kDheTextWidth = 12;
inline constexpr std::size_t kPlaceTextWidth = 60;
inline constexpr std::size_t kStampTextWidth = 25;

// One segment: the fields used of its 37 lines, each as its slot keeps it
// and cut at line end. They view the reader's buffer and are valid until the
// next segment is read. A field whose line was not read (a segment cut short
// by the end of input) is empty.
struct SegmentRecord {
  std::string_view summed_count_b;  // line 5
  std::string_view summed_time_a;   // line 6
  std::string_view summed_time_c;   // line 7
  std::string_view dhe_text_1;      // line 11
  std::string_view dhe_text_2;      // line 12
  std::string_view summed_time_b;   // line 28
  std::string_view summed_count_a;  // line 29
  std::string_view start_text;      // line 33
  std::string_view end_text;        // line 34
  std::string_view start_stamp;     // line 35
  std::string_view end_stamp;       // line 36
};

// Width of the event timestamp and text slots, terminator included.
inline constexpr std::size_t kEventTimestampWidth = 30;
inline constexpr std::size_t kEventTextWidth = 300;

// A kept event: both lines as their slots keep them, line ends included,
// and each cut at line end, viewing the reader's buffer until the next event
// is read. Tests of fixed character positions and the date folder read the
// lines as stored; whatever parses or writes them reads them cut.
struct EventRecord {
  std::string_view timestamp;
  std::string_view timestamp_line;
  std::string_view text;
  std::string_view text_line;
  std::uint64_t line = 0;  // the input line of the timestamp
};

}  // namespace tallora

#endif  // TALLORA_INPUT_BLOCK_STATE_H_
