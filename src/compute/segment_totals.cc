#include "compute/segment_totals.h"

#include <charconv>
#include <cstdint>

#include "compute/wrapping.h"
#include "input/text_scan.h"
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

SegmentTotals ComputeSegmentTotals(std::vector<SegmentRecord>* segments) {
  SegmentTotals totals;
  for (SegmentRecord& segment : *segments) {
    segment.summed_count_b.CutAtLineEnd();
    segment.summed_count_a.CutAtLineEnd();
    segment.summed_time_a.CutAtLineEnd();
    segment.summed_time_b.CutAtLineEnd();
    segment.summed_time_c.CutAtLineEnd();
    AddCount(segment.summed_count_b.view(), &totals.count_b);
    AddCount(segment.summed_count_a.view(), &totals.count_a);
    AddDuration(segment.summed_time_a.view(), &totals.time_a);
    AddDuration(segment.summed_time_b.view(), &totals.time_b);
    AddDuration(segment.summed_time_c.view(), &totals.time_c);
  }
  return totals;
}

}  // namespace tallora
