#include "compute/segment_totals.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tallora {
namespace {

std::vector<SegmentRecord> Segments(
    const std::vector<std::pair<std::string, std::string>>& time_a_count_a) {
  std::vector<SegmentRecord> segments;
  for (const auto& [time_a, count_a] : time_a_count_a) {
    SegmentRecord& s = segments.emplace_back();
    s.summed_time_a.Assign(time_a);
    s.summed_count_a.Assign(count_a);
  }
  return segments;
}

TEST(ComputeSegmentTotals, AddsDurationsAndCountsThroughTheirTexts) {
  const struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> segments;
    std::string_view time_a;
    std::string_view count_a;
  } kCases[] = {
      {"none", {}, "00:00:00", "0"},
      {"two",
       {{"01:30:00\r\n", "12 km\r\n"}, {"00:45:30\r\n", "30\r\n"}},
       "02:15:30",
       "42"},
      // The nine-character total is read back correctly.
      {"past 99 hours",
       {{"99:00:00", "1"}, {"02:00:00", "1"}, {"00:00:01", "1"}},
       "101:00:01",
       "3"},
      {"bad length adds 0",
       {{"1:00:00", "x"}, {"01:00:00", "-4"}},
       "01:00:00",
       "-4"},
      // A total that would reach 10000 hours keeps its last text.
      {"overflowing hours",
       {{"9999:00:00", "0"}, {"01:00:00", "0"}, {"00:30:00", "0"}},
       "9999:30:00",
       "0"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    std::vector<SegmentRecord> segments = Segments(c.segments);
    const SegmentTotals totals = ComputeSegmentTotals(&segments);
    EXPECT_EQ(totals.time_a.view(), c.time_a);
    EXPECT_EQ(totals.count_a.view(), c.count_a);
    EXPECT_EQ(totals.time_b.view(), "00:00:00");
  }
}

TEST(ComputeSegmentTotals, CountBKeepsTheFullTextOfAWrappedSum) {
  std::vector<SegmentRecord> segments(3);
  segments[0].summed_count_b.Assign("999999999");
  segments[1].summed_count_b.Assign("999999999");
  segments[2].summed_count_b.Assign("999999999");
  // 2999999997 wraps to 2999999997 - 2^32.
  EXPECT_EQ(ComputeSegmentTotals(&segments).count_b.view(), "-1294967299");
}

}  // namespace
}  // namespace tallora
