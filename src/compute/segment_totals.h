// Totals of the segment fields of a block, held as their printed texts.
#ifndef TALLORA_COMPUTE_SEGMENT_TOTALS_H_
#define TALLORA_COMPUTE_SEGMENT_TOTALS_H_

#include <vector>

#include "input/block_state.h"
#include "input/text_slot.h"

namespace tallora {

struct SegmentTotals {
  TextSlot<61> count_a{"0"};
  // Room for the decimal text of any 32-bit sum.
  TextSlot<12> count_b{"0"};
  DurationText time_a{"00:00:00"};
  DurationText time_b{"00:00:00"};
  DurationText time_c{"00:00:00"};
};

// Adds up the five summed fields of `segments` in list order, re-reading
// each total from its text at every addition. Counts add the leading
// integers of their texts (32-bit, wrapping); durations add as seconds, and
// a duration total that would fall outside 0 to 9999 hours keeps its last
// text. Cuts the summed fields at line end in place.
SegmentTotals ComputeSegmentTotals(std::vector<SegmentRecord>* segments);

}  // namespace tallora

#endif  // TALLORA_COMPUTE_SEGMENT_TOTALS_H_
