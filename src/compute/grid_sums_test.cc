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
  // An hour in each of the 8 summed cells of a row is 28800 seconds: rows
  // 0-3 give 115200, rows 4-9 172800, rows 11-12 57600, row 10 28800 more.
  const struct Case {
    std::string_view mode;
    GridSums sums;
  } kCases[] = {
      {"107", {115200, 201600, 57600}},     {"0107", {115200, 201600, 57600}},
      {" +107 x", {115200, 201600, 57600}}, {"108", {115200, 172800, 86400}},
      {"", {115200, 172800, 86400}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.mode);
    const GridSums sums = SumDurationGrid(EveryCell("01:00:00", c.mode));
    EXPECT_EQ(sums.sum_1, c.sums.sum_1);
    EXPECT_EQ(sums.sum_2, c.sums.sum_2);
    EXPECT_EQ(sums.sum_3, c.sums.sum_3);
  }
}

TEST(SumDurationGrid, AddsEachCellToItsRowsSum) {
  BlockHeader header = EveryCell("", "101");
  header.duration_grid[0][7].Assign("00:00:01");
  header.duration_grid[3][0].Assign("00:01:00");
  header.duration_grid[4][0].Assign("1:00:00");  // 7 characters: adds 0
  header.duration_grid[9][5].Assign("100:00:00");
  header.duration_grid[10][2].Assign("00:00:07");
  header.duration_grid[11][7].Assign("00:00:05");
  header.duration_grid[12][1].Assign("1000:00:00");
  const GridSums sums = SumDurationGrid(header);
  EXPECT_EQ(sums.sum_1, 61);
  EXPECT_EQ(sums.sum_2, 360000);
  EXPECT_EQ(sums.sum_3, 3600000 + 5 + 7);
}

TEST(SumDurationGrid, WrapsModulo2To32) {
  // Each digit 0x7F counts 79, so a cell is 79 * 4000271 = 316021409
  // seconds (the weights of its eight digits add up to 4000271); rows 4 to 10
  // hold 56 cells, 17697198904 seconds, which is 517329720 modulo 2^32.
  const GridSums sums =
      SumDurationGrid(EveryCell("\x7f\x7f\x7f\x7f:\x7f\x7f:\x7f\x7f", "107"));
  EXPECT_EQ(sums.sum_2, 517329720);
}

}  // namespace
}  // namespace tallora
