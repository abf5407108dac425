#include "compute/segment_totals.h"

#include <charconv>
#include <cstdint>
#include <string_view>

#include "text/digits.h"
#include "text/wrapping.h"
#include "timecalc/duration.h"

namespace tallora {
namespace {

template <std::size_t kWidth>
void AddCount(std::string_view field, TextSlot<kWidth>* total) {
  const std::int32_t sum =
      WrappingAdd(LeadingInteger(field), LeadingInteger(total->view()));
  char text[12];
  const auto result = std::to_chars(text, text + sizeof text, sum);
  total->Assign(std::string_view(text, result.ptr));
}

void AddDuration(std::string_view field, DurationText* total) {
  SecondsToDuration(
      WrappingAdd(DurationToSeconds(total->view()), DurationToSeconds(field)),
      total);
}

}  // namespace

void AddSegment(const SegmentRecord& segment, SegmentTotals* totals) {
  AddCount(segment.summed_count_b, &totals->count_b);
  AddCount(segment.summed_count_a, &totals->count_a);
  AddDuration(segment.summed_time_a, &totals->time_a);
  AddDuration(segment.summed_time_b, &totals->time_b);
  AddDuration(segment.summed_time_c, &totals->time_c);
}

void AddSegment(const SegmentRecord& segment, SegmentSpan* span) {
  if (!span->has_segments) {
    span->start_text.AssignNulFree(segment.start_text);
    span->start_stamp.AssignNulFree(segment.start_stamp);
    span->has_segments = true;
  }
  span->end_text.AssignNulFree(segment.end_text);
  span->end_stamp.AssignNulFree(segment.end_stamp);
}

}  // namespace tallora
