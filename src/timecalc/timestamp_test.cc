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
      {"01/01/1971 00:00:00", 86400 * 366},
      {"01/01/1973 00:00:00", 86400 * (365 * 3 + 1 + 1)},
      {"15/06/2022 08:00:00\r\n", 1655280000 + 86400},
      // Years before 1970 add no days of years.
      {"01/01/1900 00:00:01", 86401},
      // A text too short reads code 0 in the missing positions: hour,
      // minute and second are each 10 * -48 - 48.
      {"01/01/1970", ((1 * 24 - 528) * 60 - 528) * 60 - 528},
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
  // Every byte 0x80 reads as -176: day, hour, minute and second -1936, and a
  // year far before 1970.
  EXPECT_EQ(TimestampToSeconds(std::string(19, '\x80')), -174358096);
  EXPECT_EQ(TimestampToSeconds("01/01/9999 00:00:00"), -32219264);
}

}  // namespace
}  // namespace tallora
