#include "compute/segment_totals.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tallora {
namespace {

// The five summed fields of a segment, or their five totals.
struct Five {
  std::string count_a;
  std::string count_b;
  std::string time_a;
  std::string time_b;
  std::string time_c;
};

Five Totals(const std::vector<Five>& segments) {
  SegmentTotals totals;
  for (const Five& s : segments) {
    SegmentRecord segment;
    segment.summed_count_a = s.count_a;
    segment.summed_count_b = s.count_b;
    segment.summed_time_a = s.time_a;
    segment.summed_time_b = s.time_b;
    segment.summed_time_c = s.time_c;
    AddSegment(segment, &totals);
  }
  return {std::string(totals.count_a.view()),
          std::string(totals.count_b.view()), std::string(totals.time_a.view()),
          std::string(totals.time_b.view()), std::string(totals.time_c.view())};
}

TEST(SegmentTotals, AddsEachFieldIntoItsOwnTotalThroughItsText) {
  const struct Case {
    const char* name;
    std::vector<Five> segments;
    Five totals;
  } kCases[] = {
      {"none", {}, {"0", "0", "00:00:00", "00:00:00", "00:00:00"}},
      {"two, every field different",
       {{"12 km", "3", "01:30:00", "00:00:10", "02:00:00"},
        {"30", "-1", "00:45:30", "00:00:20", "00:30:00"}},
       {"42", "2", "02:15:30", "00:00:30", "02:30:00"}},
      // The nine-character total is read back correctly.
      {"past 99 hours",
       {{"1", "1", "99:00:00", "00:00:01", "00:00:02"},
        {"1", "1", "02:00:00", "00:00:01", "00:00:02"},
        {"1", "1", "00:00:01", "00:00:01", "00:00:02"}},
       {"3", "3", "101:00:01", "00:00:03", "00:00:06"}},
      {"bad length adds 0",
       {{"x", "", "1:00:00", "01:00:00", "001:00:00"},
        {"-4", "5", "01:00:00", "100:00:00", ""}},
       {"-4", "5", "01:00:00", "101:00:00", "01:00:00"}},
      // A total that would reach 10000 hours keeps its last text.
      {"overflowing hours",
       {{"0", "0", "9999:00:00", "00:00:00", "00:00:00"},
        {"0", "0", "01:00:00", "00:00:00", "00:00:00"},
        {"0", "0", "00:30:00", "00:00:00", "00:00:00"}},
       {"0", "0", "9999:30:00", "00:00:00", "00:00:00"}},
      // 3 * 999999999 = 2999999997 wraps to 2999999997 - 2^32, and count B
      // keeps the whole text.
      {"wrapping counts",
       {{"999999999", "999999999", "", "", ""},
        {"999999999", "999999999", "", "", ""},
        {"999999999", "999999999", "", "", ""}},
       {"-1294967299", "-1294967299", "00:00:00", "00:00:00", "00:00:00"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const Five totals = Totals(c.segments);
    EXPECT_EQ(totals.count_a, c.totals.count_a);
    EXPECT_EQ(totals.count_b, c.totals.count_b);
    EXPECT_EQ(totals.time_a, c.totals.time_a);
    EXPECT_EQ(totals.time_b, c.totals.time_b);
    EXPECT_EQ(totals.time_c, c.totals.time_c);
  }
}

TEST(SegmentSpan, TakesTheFirstSegmentsStartAndTheLastOnesEnd) {
  SegmentSpan span;
  EXPECT_TRUE(span.start_text.empty() && span.end_stamp.empty());
  for (const char* n : {"1", "2", "3"}) {
    SegmentRecord segment;
    const std::string start = std::string("start ") + n;
    const std::string end = std::string("end ") + n;
    segment.start_text = start;
    segment.start_stamp = start;
    segment.end_text = end;
    segment.end_stamp = end;
    AddSegment(segment, &span);
  }
  EXPECT_EQ(span.start_text, "start 1");
  EXPECT_EQ(span.start_stamp, "start 1");
  EXPECT_EQ(span.end_text, "end 3");
  EXPECT_EQ(span.end_stamp, "end 3");
}

}  // namespace
}  // namespace tallora
