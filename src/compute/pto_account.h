// PTO time, distance and fuel over a block's events.
#ifndef TALLORA_COMPUTE_PTO_ACCOUNT_H_
#define TALLORA_COMPUTE_PTO_ACCOUNT_H_

#include <cstdint>

#include "input/block_state.h"

namespace tallora {

struct PtoTotals {
  std::int32_t seconds = 0;
  std::int32_t distance = 0;
  std::int32_t fuel = 0;
};

// Walks the events in order. A switch event (text "PT..." with "n" at
// position 5 or 8) opens a period when none is open, taking its odometer and
// fuel readings, and otherwise closes it, adding the time between the two
// timestamps and the differences of the readings. A period opened at a
// timestamp worth 0 seconds counts as not open; a period still open at the
// end adds nothing. A duration event ("PTO <duration> ...") adds the seconds
// of its first word when that word is 8 to 10 characters long. Sums wrap
// modulo 2^32.
PtoTotals AccountPto(const EventList& events);

}  // namespace tallora

#endif  // TALLORA_COMPUTE_PTO_ACCOUNT_H_
