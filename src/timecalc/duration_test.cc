#include "timecalc/duration.h"

#include <gtest/gtest.h>

#include <string>

namespace tallora {
namespace {

TEST(DurationToSeconds, ReadsThreeLayoutsByLength) {
  const struct Case {
    std::string text;
    std::int32_t seconds;
  } kCases[] = {
      {"01:02:03", 3723},
      {"100:00:00", 360000},
      {"1000:00:01", 3600001},
      {"9999:59:59", 35999999},
      {"1:02:03", 0},
      {"", 0},
      {"12x34y56", 45296},
      // Nine characters: the separator at position 2 is read as an hour digit.
      {"01:02:034", 73834},
      {"00:00:0/", -1},
      // Bytes from 0x80 count as negative codes.
      {std::string("00:00:0\x80", 8), -128 - '0'},
      // Hours "\xff\xff" are -49 tens and -49 units: -539 hours.
      {std::string("\xff\xff:00:00", 8), -539 * 3600},
      {"01234567890", 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(DurationToSeconds(c.text), c.seconds);
  }
}

TEST(SecondsToDuration, WritesHourDigitsByRange) {
  const struct Case {
    std::int32_t seconds;
    std::string_view text;
  } kCases[] = {
      {3723, "01:02:03"},    {0, "00:00:00"},         {359999, "99:59:59"},
      {360000, "100:00:00"}, {3600000, "1000:00:00"}, {35999999, "9999:59:59"},
      {-30, "00:00:-0"},     {-90, "00:0/:-0"},       {-3599, "00:+':+'"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.seconds);
    DurationText slot("previous");
    EXPECT_TRUE(SecondsToDuration(c.seconds, &slot));
    EXPECT_EQ(slot.view(), c.text);
  }
}

TEST(SecondsToDuration, OutOfRangeLeavesTheSlotAsItWas) {
  for (const std::int32_t seconds :
       {36000000, -3600, -3601, 2147483647, -2147483647 - 1}) {
    SCOPED_TRACE(seconds);
    DurationText slot("previous");
    EXPECT_FALSE(SecondsToDuration(seconds, &slot));
    EXPECT_EQ(slot.view(), "previous");
  }
}

TEST(SecondsToDuration, EveryValueInRangeReadsBackTheSame) {
  DurationText slot;
  for (std::int32_t seconds = 0; seconds <= 35999999; ++seconds) {
    SecondsToDuration(seconds, &slot);
    if (DurationToSeconds(slot.view()) != seconds) {
      FAIL() << seconds << " written as " << slot.view();
    }
  }
}

}  // namespace
}  // namespace tallora
