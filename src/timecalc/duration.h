// Durations written HH:MM:SS, HHH:MM:SS or HHHH:MM:SS, to and from seconds.
#ifndef TALLORA_TIMECALC_DURATION_H_
#define TALLORA_TIMECALC_DURATION_H_

#include <cstdint>
#include <string_view>

#include "text/text_slot.h"

namespace tallora {

// Seconds of a duration text, taken as it is (fields come cut at line end).
// The layout is told by length alone (8, 9 or 10 characters for two, three
// or four hour digits); separator positions are not read and digits are not
// checked, each digit counting as its signed 8-bit character code minus that
// of '0'. Any other length gives 0. Sums wrap modulo 2^32.
std::int32_t DurationToSeconds(std::string_view text);

// Writes the duration text of `seconds` into `*out` and returns true when
// its hours (seconds / 3600, truncated) are 0 to 9999. Otherwise returns
// false and leaves `*out` as it was. Values from -3599 to -1 have 0 hours and
// are written with characters below '0' in their minute and second digits
// (-30 gives "00:00:-0").
bool SecondsToDuration(std::int32_t seconds, DurationText* out);

}  // namespace tallora

#endif  // TALLORA_TIMECALC_DURATION_H_
