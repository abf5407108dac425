#include "input/section_readers.h"

#include <cassert>
#include <cstddef>
#include <cstdint>

#include "input/text_scan.h"

namespace tallora {
namespace {

constexpr std::size_t kHeaderLimit = 40;

bool IsMarker(std::string_view text) {
  return CharAt(text, 0, 't') && CharAt(text, 1, 'r') && CharAt(text, 4, 'h');
}

bool BeginsSegment(std::string_view text) {
  return CharAt(text, 0, 't') && CharAt(text, 1, 'r');
}

void SkipLines(LineReader* in, int count, std::size_t limit) {
  for (int i = 0; i < count; ++i) {
    in->SkipLine(limit);
  }
}

// Reads the 36 lines after a segment's "tr" line into `segment`.
void ReadSegmentBody(LineReader* in, SegmentRecord* segment) {
  SkipLines(in, 3, 20);  // lines 1 to 3
  in->SkipLine(10);      // line 4
  in->ReadLine(20, &segment->summed_count_b);
  in->ReadLine(20, &segment->summed_time_a);
  in->ReadLine(20, &segment->summed_time_c);
  SkipLines(in, 3, 20);  // lines 8 to 10
  in->ReadLine(40, &segment->dhe_text_1);
  in->ReadLine(40, &segment->dhe_text_2);
  SkipLines(in, 15, 20);  // lines 13 to 27
  in->ReadLine(20, &segment->summed_time_b);
  in->ReadLine(20, &segment->summed_count_a);
  SkipLines(in, 3, 20);  // lines 30 to 32
  in->ReadLine(80, &segment->start_text);
  in->ReadLine(80, &segment->end_text);
  in->ReadLine(25, &segment->start_stamp);
  in->ReadLine(25, &segment->end_stamp);
  segment->start_text.CutAtLineEnd();
  segment->end_text.CutAtLineEnd();
  segment->start_stamp.CutAtLineEnd();
  segment->end_stamp.CutAtLineEnd();
}

}  // namespace

bool ReadBlockHeader(LineReader* in, BlockHeader* header) {
  TextSlot<kHeaderLimit> scratch;
  while (!IsMarker(scratch.view()) && !in->eof()) {
    in->ReadLine(kHeaderLimit, &scratch);
  }
  if (in->eof()) {
    return false;
  }

  SkipLines(in, 2, kHeaderLimit);  // lines 1, 2
  in->ReadLine(kHeaderLimit, &header->unit_label);
  in->ReadLine(kHeaderLimit, &header->unit_number);
  SkipLines(in, 2, kHeaderLimit);  // lines 5, 6
  in->ReadLine(kHeaderLimit, &header->block_date);
  in->SkipLine(kHeaderLimit);  // line 8
  in->ReadLine(kHeaderLimit, &header->line_9);
  in->ReadLine(kHeaderLimit, &header->line_10);
  in->ReadLine(kHeaderLimit, &header->line_11);
  in->SkipLine(kHeaderLimit);  // line 12
  in->ReadLine(kHeaderLimit, &header->line_13);
  SkipLines(in, 4, kHeaderLimit);  // lines 14 to 17
  for (auto& row : header->duration_grid) {
    for (DurationText& cell : row) {
      in->ReadLine(kHeaderLimit, &cell);
    }
  }
  SkipLines(in, 14, kHeaderLimit);  // lines 135 to 148
  in->ReadLine(kHeaderLimit, &header->line_149);
  in->ReadLine(kHeaderLimit, &header->line_150);
  in->ReadLine(kHeaderLimit, &header->line_151);
  in->ReadLine(kHeaderLimit, &header->line_152);
  SkipLines(in, 6, kHeaderLimit);  // lines 153 to 158
  in->ReadLine(kHeaderLimit, &header->line_159);
  in->SkipLine(2000);              // line 160
  SkipLines(in, 3, kHeaderLimit);  // lines 161 to 163
  SkipLines(in, 21, 10);           // lines 164 to 184
  SkipLines(in, 2, kHeaderLimit);  // lines 185, 186
  SkipLines(in, 14, 10);           // lines 187 to 200
  in->SkipLine(25);                // line 201
  in->SkipLine(20);                // line 202
  SkipLines(in, 2, 10);            // lines 203, 204
  in->ReadLine(10, &header->mode_code);
  SkipLines(in, 2, 10);  // lines 206, 207
  return true;
}

void ReadSegmentList(LineReader* in, BlockState* block) {
  assert(block->segments.empty());
  TextSlot<100> scratch;
  in->ReadLine(20, &scratch);  // the first segment's "tr" line
  while (BeginsSegment(scratch.view()) && !in->eof()) {
    ReadSegmentBody(in, &block->segments.emplace_back());
    scratch.Clear();
    in->ReadLine(100,
                 &scratch);  // line 37: the next "tr" line or the admin line
  }
  if (in->eof()) {
    block->admin_line.Clear();
  } else {
    block->admin_line = scratch;
  }
}

void ReadEventList(LineReader* in, BlockState* block) {
  assert(block->events.empty());
  std::int32_t count = 0;
  ScanText(block->admin_line.view(), "Admin %d\n", {&count});
  // The timestamp is copied out: the next read may move the reader's buffer.
  TextSlot<kEventTimestampWidth> timestamp;
  std::string_view text;
  for (std::int32_t i = 0; i < count; ++i) {
    if (!in->ReadLine(kEventTimestampWidth, &timestamp) ||
        !in->ReadLine(kEventTextWidth, &text)) {
      return;
    }
    if (CharAt(text, 0, 'P') && CharAt(text, 1, 'e')) {
      continue;
    }
    block->events.Append(timestamp.view(), text);
  }
}

}  // namespace tallora
