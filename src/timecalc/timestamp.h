// Event timestamps DD?MM?YYYY?hh?mm?ss to seconds.
#ifndef TALLORA_TIMECALC_TIMESTAMP_H_
#define TALLORA_TIMECALC_TIMESTAMP_H_

#include <cstdint>
#include <string_view>

namespace tallora {

// Seconds of an event timestamp on a day-and-time scale starting in 1970,
// read at fixed positions of the text as stored (day 0-1, month 3-4, year
// 6-9, hour 11-12, minute 14-15, second 17-18; other positions not read, no
// character checked). Each digit is its signed 8-bit character code less that
// of '0'; a position beyond the end of the text reads as code 0. The day of
// the month is added unchanged ("01/01/1970 00:00:00" gives 86400), at most
// the twelve months of a year are added, and the result wraps modulo 2^32.
std::int32_t TimestampToSeconds(std::string_view stamp);

}  // namespace tallora

#endif  // TALLORA_TIMECALC_TIMESTAMP_H_
