// Sums over the header's duration grid.
#ifndef TALLORA_COMPUTE_GRID_SUMS_H_
#define TALLORA_COMPUTE_GRID_SUMS_H_

#include <cstdint>

#include "input/block_state.h"

namespace tallora {

struct GridSums {
  std::int32_t sum_1 = 0;
  std::int32_t sum_2 = 0;
  std::int32_t sum_3 = 0;
};

// Sums the seconds of the grid's cells (columns 0 to 7) by rows: rows 0 to 3
// into sum_1, rows 4 to 9 into sum_2, rows 11 and 12 into sum_3, and row 10
// into sum_2 when the leading integer of the mode code is 107, otherwise into
// sum_3. Sums wrap modulo 2^32.
GridSums SumDurationGrid(const BlockHeader& header);

}  // namespace tallora

#endif  // TALLORA_COMPUTE_GRID_SUMS_H_
