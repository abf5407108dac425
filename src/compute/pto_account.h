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

// Accounts one block's events in order. A switch event (text "PT..." with
// "n" at position 5 or 8) opens a period when none is open, taking its
// odometer and fuel readings, and otherwise closes it, adding the time
// between the two timestamps and the differences of the readings. A period
// opened at a timestamp worth 0 seconds counts as not open; a period still
// open at the end adds nothing. A duration event ("PTO <duration> ...") adds
// the seconds of its first word when that word is 8 to 10 characters long.
// Sums wrap modulo 2^32.
class PtoAccount {
 public:
  void Add(const EventRecord& event);

  const PtoTotals& totals() const { return totals_; }

 private:
  PtoTotals totals_;
  std::int32_t engaged_at_ = 0;
  std::int32_t start_odometer_ = 0;
  std::int32_t start_fuel_ = 0;
  // A closing event whose text supplies no readings reuses the last ones.
  std::int32_t end_odometer_ = 0;
  std::int32_t end_fuel_ = 0;
};

}  // namespace tallora

#endif  // TALLORA_COMPUTE_PTO_ACCOUNT_H_
