#include "compute/grid_sums.h"

#include <gtest/gtest.h>

namespace tallora {
namespace {

BlockHeader EveryCell(std::string_view text, std::string_view mode) {
  BlockHeader header;
  for (auto& row : header.duration_grid) {
    for (DurationText& cell : row) {
      cell.Assign(text);
    }
  }
  header.mode_code.Assign(mode);
  return header;
}

TEST(SumDurationGrid, PlacesRowTenByModeCode) {
  const struct Case {
    std::string_view mode;
    GridSums sums;
  } kCases[] = {
      {"107\r\n", {115200, 201600, 57600}},
      {"0107", {115200, 201600, 57600}},
      {"108", {115200, 172800, 86400}},
      {"", {115200, 172800, 86400}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.mode);
    const GridSums sums = SumDurationGrid(EveryCell("01:00:00\r\n", c.mode));
    EXPECT_EQ(sums.sum_1, c.sums.sum_1);
    EXPECT_EQ(sums.sum_2, c.sums.sum_2);
    EXPECT_EQ(sums.sum_3, c.sums.sum_3);
  }
}

TEST(SumDurationGrid, IgnoresColumnEightAndCellsOfOtherLengths) {
  BlockHeader header = EveryCell("", "107");
  header.duration_grid[0][8].Assign("99:00:00");
  header.duration_grid[4][0].Assign("1:00:00");
  header.duration_grid[11][7].Assign("00:00:05");
  const GridSums sums = SumDurationGrid(header);
  EXPECT_EQ(sums.sum_1, 0);
  EXPECT_EQ(sums.sum_2, 0);
  EXPECT_EQ(sums.sum_3, 5);
}

TEST(SumDurationGrid, WrapsModulo2To32) {
  const GridSums sums = SumDurationGrid(EveryCell("9999:59:59", "107"));
  const auto expected =
      static_cast<std::int32_t>(static_cast<std::uint32_t>(35999999) * 8u * 7u);
  EXPECT_EQ(sums.sum_2, expected);
}

}  // namespace
}  // namespace tallora
