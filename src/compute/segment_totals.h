// Totals of the segment fields of a block, held as their printed texts, and
// where the block's segments start and end.
#ifndef TALLORA_COMPUTE_SEGMENT_TOTALS_H_
#define TALLORA_COMPUTE_SEGMENT_TOTALS_H_

#include "input/block_state.h"
#include "text/text_slot.h"

namespace tallora {

struct SegmentTotals {
  TextSlot<61> count_a{"0"};
  // Room for the decimal text of any 32-bit sum.
  TextSlot<12> count_b{"0"};
  DurationText time_a{"00:00:00"};
  DurationText time_b{"00:00:00"};
  DurationText time_c{"00:00:00"};
};

// Adds the five summed fields of `segment` to `*totals`, re-reading each
// total from its text. Counts add the leading integers of their texts
// (32-bit, wrapping); durations add as seconds, and a duration total that
// would fall outside 0 to 9999 hours keeps its last text.
void AddSegment(const SegmentRecord& segment, SegmentTotals* totals);

// The start text and timestamp of a block's first segment and the end text
// and timestamp of its last; all empty for a block without segments.
struct SegmentSpan {
  TextSlot<kPlaceTextWidth> start_text;
  TextSlot<kStampTextWidth> start_stamp;
  TextSlot<kPlaceTextWidth> end_text;
  TextSlot<kStampTextWidth> end_stamp;
  bool has_segments = false;
};

// Takes the start of `segment` when it is the block's first, and its end.
void AddSegment(const SegmentRecord& segment, SegmentSpan* span);

}  // namespace tallora

#endif  // TALLORA_COMPUTE_SEGMENT_TOTALS_H_
