#include "timecalc/timestamp.h"

#include <gtest/gtest.h>

#include <string>

namespace tallora {
namespace {

TEST(TimestampToSeconds, CountsDaysFrom1970AddingTheDayUnchanged) {
  const struct Case {
    std::string stamp;
    std::int32_t seconds;
  } kCases[] = {
      {"01/01/1970 00:00:00", 86400},
      {"02/01/1970 00:00:00", 172800},
      {"00/01/1970 00:00:00", 0},
      // Calendar times as `date -u +%s` gives them, one day later, since
      // the day of the month is added unchanged: 1971-01-01 is 31536000,
      // 1973-01-01 is 94694400 and 2022-06-15 08:00 is 1655280000.
      {"01/01/1971 00:00:00", 31536000 + 86400},
      {"01/01/1973 00:00:00", 94694400 + 86400},
      {"15/06/2022 08:00:00\r\n", 1655280000 + 86400},
      // Years before 1970 add no days of years.
      {"01/01/1900 00:00:01", 86401},
      // A text too short reads code 0 in the missing positions, as NUL
      // bytes there would: hour, minute and second are each -528, so the
      // day's 86400 seconds lose 528 * 3600 + 528 * 60 + 528.
      {"01/01/1970", 86400 - 1900800 - 31680 - 528},
      {std::string("01/01/1970\0\0\0\0\0\0\0\0\0", 19),
       86400 - 1900800 - 31680 - 528},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.stamp);
    EXPECT_EQ(TimestampToSeconds(c.stamp), c.seconds);
  }
}

TEST(TimestampToSeconds, DifferencesFollowTheGregorianLeapRule) {
  const struct Case {
    const char* later;
    const char* earlier;
    std::int32_t difference;
  } kCases[] = {
      {"01/03/2024 00:00:00", "28/02/2024 00:00:00", 172800},
      {"01/03/2000 00:00:00", "28/02/2000 00:00:00", 172800},
      {"01/03/2100 00:00:00", "28/02/2100 00:00:00", 86400},
      {"01/03/2023 00:00:00", "28/02/2023 00:00:00", 86400},
      {"15.06.2022 10:30:00", "15.06.2022 08:00:00", 9000},
      {"16/06/2022 00:10:00", "15/06/2022 23:50:00", 1200},
      {"01/01/2023 00:00:00", "31/12/2022 00:00:00", 86400},
      // Month 13 adds all twelve months; month 14 adds no more than that.
      {"01/13/2022 00:00:00", "01/01/2022 00:00:00", 365 * 86400},
      {"01/14/2022 00:00:00", "01/13/2022 00:00:00", 0},
      {"01/99/2022 00:00:00", "01/13/2022 00:00:00", 0},
      {"01/00/2022 00:00:00", "01/01/2022 00:00:00", 0},
      // Past 2038 the seconds wrap, and differences of nearby stamps hold.
      {"18/01/2038 03:14:10", "18/01/2038 03:14:05", 5},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.later);
    const std::uint32_t difference =
        static_cast<std::uint32_t>(TimestampToSeconds(c.later)) -
        static_cast<std::uint32_t>(TimestampToSeconds(c.earlier));
    EXPECT_EQ(static_cast<std::int32_t>(difference), c.difference);
  }
}

TEST(TimestampToSeconds, HostileBytesGiveTheirWrappedValue) {
  // Every byte 0x80 reads as -176: day, hour, minute and second are each
  // -1936, and the year and month add nothing. -1936 days, hours, minutes
  // and seconds are -1936 * (86400 + 3600 + 60 + 1) = -174358096 seconds.
  EXPECT_EQ(TimestampToSeconds(std::string(19, '\x80')), -174358096);
  // 2932532 days from 1970-01-01 to 9999-01-01, and the day: 2932533 * 86400
  // = 253370851200, which is -32219264 modulo 2^32.
  EXPECT_EQ(TimestampToSeconds("01/01/9999 00:00:00"), -32219264);
}

}  // namespace
}  // namespace tallora
