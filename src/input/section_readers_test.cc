#include "input/section_readers.h"

#include <gtest/gtest.h>

#include <string>

#include "support/export_builder.h"

namespace tallora {
namespace {

using testing::BlockBuilder;
using testing::BuildExport;

// Reads one whole block as the run loop does. Returns false iff no block.
bool ReadBlock(LineReader* in, BlockState* block) {
  block->ReleaseLists();
  if (!ReadBlockHeader(in, &block->header)) {
    return false;
  }
  ReadSegmentList(in, block);
  ReadEventList(in, block);
  return true;
}

int CountBlocks(std::string_view content) {
  LineReader in(content);
  BlockState block;
  int blocks = 0;
  while (ReadBlock(&in, &block)) {
    ++blocks;
  }
  return blocks;
}

TEST(ReadBlockHeader, FindsMarkersByPositionsZeroOneAndFour) {
  const struct Case {
    std::string_view marker;
    int blocks;
  } kCases[] = {{"trash", 1},
                {"train", 0},
                {"trip header", 0},
                {"tripheader", 1},
                {"tr", 0}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.marker);
    EXPECT_EQ(CountBlocks(BlockBuilder().Marker(std::string(c.marker)).Build()),
              c.blocks);
  }
}

TEST(ReadBlockHeader, ReadsFieldsAtTheirLines) {
  BlockBuilder builder;
  builder.Unit("TRK 12", "0042").Date("01.02.2022");
  builder.Header(9, "h9").Header(10, "h10").Header(11, "h11").Header(13, "h13");
  builder.Header(testing::GridLine(0, 0), "01:00:00");
  builder.Header(testing::GridLine(12, 8), "99:00:00");
  builder.Header(149, "a").Header(150, "b").Header(151, "c").Header(152, "d");
  builder.Header(159, "e").Header(testing::kModeCodeLine, "107");
  LineReader in(builder.Build("\r\n"));
  BlockHeader header;
  ASSERT_TRUE(ReadBlockHeader(&in, &header));
  EXPECT_EQ(header.unit_label, "TRK 12\r\n");
  EXPECT_EQ(header.unit_number, "0042\r\n");
  EXPECT_EQ(header.block_date, "01.02.2022\r\n");
  EXPECT_EQ(header.line_9, "h9\r\n");
  EXPECT_EQ(header.line_13, "h13\r\n");
  EXPECT_EQ(header.duration_grid[0][0], "01:00:00\r\n");
  EXPECT_EQ(header.duration_grid[12][8], "99:00:00\r\n");
  EXPECT_EQ(header.line_152, "d\r\n");
  EXPECT_EQ(header.line_159, "e\r\n");
  EXPECT_EQ(header.mode_code, "107\r\n");
}

TEST(ReadBlockHeader, LongLine160ShiftsEveryLaterField) {
  BlockBuilder builder;
  builder.Header(159, "before").Header(204, "SHIFTED").Header(205, "MODE");
  // 1998 characters and a carriage return fill the read limit; the line feed
  // is then read as line 161 and every later line moves down by one.
  builder.Header(160, std::string(1998, 'x'));
  LineReader in(builder.Build("\r\n"));
  BlockHeader header;
  ASSERT_TRUE(ReadBlockHeader(&in, &header));
  EXPECT_EQ(header.line_159, "before\r\n");
  EXPECT_EQ(header.mode_code, "SHIFTED\r\n");
}

TEST(ReadBlockHeader, MarkerAsLastLineWithoutLineEndIsNoBlock) {
  EXPECT_EQ(CountBlocks("noise\ntrash"), 0);
  EXPECT_EQ(CountBlocks("noise\ntrash\n"), 1);
}

TEST(ReadSegmentList, KeepsSegmentsInFileOrderAndHandsBackTheAdminLine) {
  BlockBuilder builder;
  for (const char* start : {"first", "second", "third"}) {
    builder.Segment({{5, "7"}, {11, "15/06/2022"}, {33, start}});
  }
  builder.Admin("Admin 0  ");
  LineReader in(builder.Build("\r\n"));
  BlockState block;
  ASSERT_TRUE(ReadBlock(&in, &block));
  ASSERT_EQ(block.segments.size(), 3u);
  EXPECT_EQ(block.segments[0].start_text, "first");
  EXPECT_EQ(block.segments[2].start_text, "third");
  EXPECT_EQ(block.segments[1].summed_count_b, "7\r\n");
  // A 12-wide slot keeps 11 characters: the date and its carriage return.
  EXPECT_EQ(block.segments[1].dhe_text_1, "15/06/2022\r");
  EXPECT_EQ(block.admin_line, "Admin 0  \r\n");
}

TEST(ReadSegmentList, LongStartTextIsConsumedWhole) {
  BlockBuilder builder;
  builder.Segment({{33, std::string(70, 's')}, {34, "end"}});
  LineReader in(builder.Build());
  BlockState block;
  ASSERT_TRUE(ReadBlock(&in, &block));
  ASSERT_EQ(block.segments.size(), 1u);
  EXPECT_EQ(block.segments[0].start_text, std::string(59, 's'));
  EXPECT_EQ(block.segments[0].end_text, "end");
}

TEST(ReadSegmentList, BlockWithoutSegmentsTakesItsFirstLineAsAdminLine) {
  BlockBuilder builder;
  builder.Admin("Admin 2").Event("15/06/2022 07:00:00", "Route North");
  builder.Event("15/06/2022 07:10:00", "Location A -> B");
  const std::string text =
      builder.Build() + BlockBuilder().Unit("NEXT", "1").Build();
  LineReader in(text);
  BlockState block;
  ASSERT_TRUE(ReadBlock(&in, &block));
  EXPECT_TRUE(block.segments.empty());
  EXPECT_EQ(block.events.size(), 2u);
  ASSERT_TRUE(ReadBlock(&in, &block));
  EXPECT_EQ(block.header.unit_label, "NEXT\n");
}

TEST(ReadEventList, DropsPeriodicEventsAndKeepsTheRestInOrder) {
  BlockBuilder builder;
  builder.Segment();
  builder.Event("15/06/2022 07:00:00", "PTO Engaged at 07:00:00");
  builder.Event("15/06/2022 07:05:00", "Periodic report");
  builder.Event("15/06/2022 07:10:00", "Route North");
  const std::string text =
      builder.Build("\r\n") + BlockBuilder().Unit("NEXT", "1").Build("\r\n");
  LineReader in(text);
  BlockState block;
  ASSERT_TRUE(ReadBlock(&in, &block));
  ASSERT_EQ(block.events.size(), 2u);
  EXPECT_EQ(block.events[0].timestamp, "15/06/2022 07:00:00\r\n");
  EXPECT_EQ(block.events[1].text, "Route North\r\n");
  ASSERT_TRUE(ReadBlock(&in, &block));
  EXPECT_EQ(block.header.unit_label, "NEXT\r\n");
}

TEST(ReadEventList, AdminCountsThatReadNoEvents) {
  for (const char* admin : {"Admin 0", "Admin -3", "Admin", "Totals 5"}) {
    SCOPED_TRACE(admin);
    BlockBuilder builder;
    builder.Segment().Admin(admin);
    const std::string text =
        builder.Build() + BlockBuilder().Unit("NEXT", "1").Build();
    LineReader in(text);
    BlockState block;
    ASSERT_TRUE(ReadBlock(&in, &block));
    EXPECT_TRUE(block.events.empty());
    ASSERT_TRUE(ReadBlock(&in, &block));
    EXPECT_EQ(block.header.unit_label, "NEXT\n");
  }
}

TEST(ReadEventList, LongEventTextSplitsIntoTheNextTimestamp) {
  BlockBuilder builder;
  builder.Segment();
  builder.Event("15/06/2022 07:00:00", std::string(298, 'x'));  // 298 + CR
  builder.Event("15/06/2022 07:10:00", "Route North");
  LineReader in(builder.Build("\r\n"));
  BlockState block;
  ASSERT_TRUE(ReadBlock(&in, &block));
  ASSERT_EQ(block.events.size(), 2u);
  EXPECT_EQ(block.events[0].text.size(), 299u);
  EXPECT_EQ(block.events[1].timestamp, "\n");
  EXPECT_EQ(block.events[1].text, "15/06/2022 07:10:00\r\n");
}

TEST(ReadBlock, TruncatedFinalBlockEndsTheRun) {
  BlockBuilder builder;
  builder.Unit("TRK1", "1").Segment().Segment();
  builder.Event("15/06/2022 07:00:00", "Route North");
  builder.Event("15/06/2022 07:10:00", "Route South");
  const std::string whole = builder.Build();
  // Cut the block at every line boundary and inside lines: the reader must
  // always come to an end with at most one block.
  for (std::size_t cut = 0; cut <= whole.size(); cut += 7) {
    SCOPED_TRACE(cut);
    const std::string_view text(whole.data(), cut);
    EXPECT_LE(CountBlocks(text), 1);
  }
  LineReader in(std::string_view(whole.data(), whole.size() - 30));
  BlockState block;
  ASSERT_TRUE(ReadBlock(&in, &block));
  EXPECT_EQ(block.segments.size(), 2u);
  EXPECT_EQ(block.events.size(), 1u);
  EXPECT_FALSE(ReadBlock(&in, &block));
}

TEST(ReadBlock, FileEndingAfterEventListGivesOneBlockPerMarker) {
  std::vector<BlockBuilder> blocks(3);
  for (BlockBuilder& block : blocks) {
    block.Segment().Event("15/06/2022 07:00:00", "Route North");
  }
  EXPECT_EQ(CountBlocks(BuildExport(blocks)), 3);
  EXPECT_EQ(CountBlocks(BuildExport(blocks, "\r\n")), 3);
}

}  // namespace
}  // namespace tallora
