#include "compute/grid_sums.h"

#include <cstddef>

#include "text/digits.h"
#include "timecalc/duration.h"

namespace tallora {
namespace {

constexpr std::int32_t kModeWithRowTenInSum2 = 107;

std::uint32_t RowTotal(const BlockHeader& header, std::size_t row) {
  std::uint32_t total = 0;
  for (const DurationText& cell : header.duration_grid[row]) {
    total += static_cast<std::uint32_t>(DurationToSeconds(cell.view()));
  }
  return total;
}

}  // namespace

GridSums SumDurationGrid(const BlockHeader& header) {
  std::uint32_t sum_1 = 0;
  std::uint32_t sum_2 = 0;
  std::uint32_t sum_3 = 0;
  for (std::size_t row = 0; row <= 3; ++row) {
    sum_1 += RowTotal(header, row);
  }
  for (std::size_t row = 4; row <= 9; ++row) {
    sum_2 += RowTotal(header, row);
  }
  sum_3 += RowTotal(header, 11) + RowTotal(header, 12);
  if (LeadingInteger(header.mode_code.view()) == kModeWithRowTenInSum2) {
    sum_2 += RowTotal(header, 10);
  } else {
    sum_3 += RowTotal(header, 10);
  }
  return {static_cast<std::int32_t>(sum_1), static_cast<std::int32_t>(sum_2),
          static_cast<std::int32_t>(sum_3)};
}

}  // namespace tallora
