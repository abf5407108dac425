#include "input/section_readers.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "text/line_end.h"
#include "text/text_scan.h"

namespace tallora {
namespace {

constexpr std::size_t kHeaderLimit = 40;

// The most that header lines 1 to 207 take: the sum of their read limits
// less one each.
constexpr std::size_t kHeaderBytes = 159 * 39 + 1999 + 3 * 39 + 21 * 9 +
                                     2 * 39 + 14 * 9 + 24 + 19 + 2 * 9 + 9 +
                                     2 * 9;

// The marker scan, the segment's first line and the admin line are read
// into scratch slots, whose width decides what they keep.
constexpr std::size_t kMarkerScratchWidth = 40;
constexpr std::size_t kSegmentScratchWidth = 100;

// The first segment's "tr" line is read with a limit of 20; every later one
// is read as line 37 of the segment before it, with a limit of 100.
constexpr std::size_t kFirstSegmentLineLimit = 20;
constexpr std::size_t kSegmentLine37Limit = 100;

// The most that a segment's lines 1 to 36 take: the sum of their read limits
// less one each.
constexpr std::size_t kSegmentBodyBytes = 3 * 19 + 9 + 3 * 19 + 3 * 19 +
                                          2 * 39 + 15 * 19 + 2 * 19 + 3 * 19 +
                                          2 * 79 + 2 * 24;

constexpr std::size_t kEventTimestampLimit = 30;
constexpr std::size_t kEventTextLimit = 300;

bool IsMarker(std::string_view text) {
  return CharAt(text, 0, 't') && CharAt(text, 1, 'r') && CharAt(text, 4, 'h');
}

// A marker test that passes over a byte-order mark at the start of the line,
// as exports joined from parts that each had one bring.
bool IsMarkerAfterMark(std::string_view text) {
  if (text.starts_with(kUtf8Mark)) {
    text.remove_prefix(kUtf8Mark.size());
  }
  return IsMarker(text);
}

// True iff the line holds nothing but white space.
bool IsBlank(std::string_view text) {
  return std::ranges::all_of(text, [](char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' ||
           c == '\f';
  });
}

bool BeginsSegment(std::string_view text) {
  return CharAt(text, 0, 't') && CharAt(text, 1, 'r');
}

// Reads the 36 lines after a segment's "tr" line into `segment`.
void ReadSegmentBody(LineReader* in, SegmentRecord* segment) {
  in->SkipLines(3, 20);  // lines 1 to 3
  in->SkipLine(10);      // line 4
  in->ReadField(20, kSummedCountBWidth, &segment->summed_count_b);
  in->ReadField(20, kSummedTimeWidth, &segment->summed_time_a);
  in->ReadField(20, kSummedTimeWidth, &segment->summed_time_c);
  in->SkipLines(3, 20);  // lines 8 to 10
  in->ReadField(40, kDheTextWidth, &segment->dhe_text_1);
  in->ReadField(40, kDheTextWidth, &segment->dhe_text_2);
  in->SkipLines(15, 20);  // lines 13 to 27
  in->ReadField(20, kSummedTimeWidth, &segment->summed_time_b);
  in->ReadField(20, kSummedCountAWidth, &segment->summed_count_a);
  in->SkipLines(3, 20);  // lines 30 to 32
  in->ReadField(80, kPlaceTextWidth, &segment->start_text);
  in->ReadField(80, kPlaceTextWidth, &segment->end_text);
  in->ReadField(25, kStampTextWidth, &segment->start_stamp);
  in->ReadField(25, kStampTextWidth, &segment->end_stamp);
}

}  // namespace

bool ReadBlockHeader(LineReader* in, BlockHeader* header) {
  std::string_view scratch;
  while (!IsMarkerAfterMark(scratch) && !in->eof()) {
    if (!scratch.empty() && !IsBlank(scratch)) {
      in->notes().Note(ReadNote::kSkippedOutsideBlock, in->line_number());
    }
    scratch = {};
    in->ReadStored(kHeaderLimit, kMarkerScratchWidth, &scratch);
  }
  if (in->eof()) {
    // A last line that is not a marker was skipped too.
    if (!scratch.empty() && !IsMarkerAfterMark(scratch) && !IsBlank(scratch)) {
      in->notes().Note(ReadNote::kSkippedOutsideBlock, in->line_number());
    }
    return false;
  }
  header->marker_line = in->line_number();

  // Buffered at once, so that the header's reads seldom refill, and so that
  // a stop request is seen at every block.
  in->Reserve(kHeaderBytes);
  in->SkipLines(2, kHeaderLimit);  // lines 1, 2
  std::string_view label;
  if (in->ReadLine(kHeaderLimit, &label)) {
    // As ReadField would keep it, and noted when that cuts the name.
    label = CutAtLineEnd(label.substr(0, label.find('\0')));
    if (label.size() > UnitLabel::capacity()) {
      in->notes().Note(ReadNote::kNameCut, in->line_number());
    }
    header->unit_label.AssignNulFree(label);
  }
  in->ReadField(kHeaderLimit, &header->unit_number);
  in->SkipLines(2, kHeaderLimit);  // lines 5, 6
  in->ReadField(kHeaderLimit, &header->block_date);
  in->SkipLine(kHeaderLimit);  // line 8
  in->ReadField(kHeaderLimit, &header->line_9);
  in->ReadField(kHeaderLimit, &header->line_10);
  in->ReadField(kHeaderLimit, &header->line_11);
  in->SkipLine(kHeaderLimit);  // line 12
  in->ReadField(kHeaderLimit, &header->line_13);
  in->SkipLines(4, kHeaderLimit);  // lines 14 to 17
  for (auto& row : header->duration_grid) {
    for (DurationText& cell : row) {
      in->ReadField(kHeaderLimit, &cell);
    }
    in->SkipLine(kHeaderLimit);  // the ninth cell
  }
  in->SkipLines(14, kHeaderLimit);  // lines 135 to 148
  in->ReadField(kHeaderLimit, &header->line_149);
  in->ReadField(kHeaderLimit, &header->line_150);
  in->ReadField(kHeaderLimit, &header->line_151);
  in->ReadField(kHeaderLimit, &header->line_152);
  in->SkipLines(6, kHeaderLimit);  // lines 153 to 158
  in->ReadField(kHeaderLimit, &header->line_159);
  in->SkipLine(2000);              // line 160
  in->SkipLines(3, kHeaderLimit);  // lines 161 to 163
  in->SkipLines(21, 10);           // lines 164 to 184
  in->SkipLines(2, kHeaderLimit);  // lines 185, 186
  in->SkipLines(14, 10);           // lines 187 to 200
  in->SkipLine(25);                // line 201
  in->SkipLine(20);                // line 202
  in->SkipLines(2, 10);            // lines 203, 204
  in->ReadField(10, &header->mode_code);
  in->SkipLines(2, 10);  // lines 206, 207
  if (in->eof()) {
    in->notes().Note(ReadNote::kEndsInsideBlock, in->line_number());
  }
  return true;
}

bool SegmentReader::Next(SegmentRecord* segment) {
  if (ended_) {
    return false;
  }
  // The whole segment is buffered before it is read, so that its fields
  // stay in place until the next one.
  in_->Reserve(kSegmentLine37Limit - 1 + kSegmentBodyBytes);
  std::string_view line;  // stays empty when the read fails
  in_->ReadStored(first_ ? kFirstSegmentLineLimit : kSegmentLine37Limit,
                  kSegmentScratchWidth, &line);
  first_ = false;
  if (!BeginsSegment(line) || in_->eof()) {
    ended_ = true;
    if (!in_->eof()) {
      if (!TextScan(CutAtLineEnd(line))
               .Expect("Admin ")
               .ReadNumber(&event_count_)
               .ok()) {
        in_->notes().Note(ReadNote::kNotAdminLine, in_->line_number());
      }
    } else {
      in_->notes().Note(ReadNote::kEndsInsideBlock, in_->line_number());
    }
    return false;
  }
  *segment = {};
  ReadSegmentBody(in_, segment);
  return true;
}

bool EventReader::Next(EventRecord* event) {
  while (remaining_ > 0) {
    --remaining_;
    // Both lines are buffered before they are read, so that the timestamp
    // stays in place while the text is read.
    in_->Reserve(kEventTimestampLimit - 1 + kEventTextLimit - 1);
    EventRecord read;
    if (!in_->ReadStoredAndField(kEventTimestampLimit, kEventTimestampWidth,
                                 &read.timestamp, &read.timestamp_line)) {
      remaining_ = 0;
      in_->notes().Note(ReadNote::kEndsInsideBlock, in_->line_number());
      return false;
    }
    read.line = in_->line_number();
    if (IsMarkerAfterMark(read.timestamp)) {
      in_->notes().Note(ReadNote::kMarkerReadAsEvent, read.line);
    }
    if (!in_->ReadStoredAndField(kEventTextLimit, kEventTextWidth, &read.text,
                                 &read.text_line)) {
      remaining_ = 0;
      in_->notes().Note(ReadNote::kEndsInsideBlock, in_->line_number());
      return false;
    }
    if (IsMarkerAfterMark(read.text)) {
      in_->notes().Note(ReadNote::kMarkerReadAsEvent, in_->line_number());
    }
    if (CharAt(read.text, 0, 'P') && CharAt(read.text, 1, 'e')) {
      continue;
    }
    *event = read;
    return true;
  }
  return false;
}

}  // namespace tallora
