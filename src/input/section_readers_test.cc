#include "input/section_readers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/export_builder.h"

namespace tallora {
namespace {

using testing::BlockBuilder;
using testing::BuildExport;

// What the readers handed out for one block, copied out of the buffer.
struct Block {
  std::vector<std::vector<std::string>> segments;  // the fields in order
  std::vector<std::pair<std::string, std::string>> events;  // stored
  std::vector<std::string> event_lines;  // timestamp and text cut, joined
};

std::vector<std::string> Fields(const SegmentRecord& s) {
  return {std::string(s.summed_count_b), std::string(s.summed_time_a),
          std::string(s.summed_time_c),  std::string(s.dhe_text_1),
          std::string(s.dhe_text_2),     std::string(s.summed_time_b),
          std::string(s.summed_count_a), std::string(s.start_text),
          std::string(s.end_text),       std::string(s.start_stamp),
          std::string(s.end_stamp)};
}

// Reads one whole block as the run loop does. Returns false iff no block.
bool ReadBlock(LineReader* in, BlockHeader* header, Block* block) {
  *block = {};
  if (!ReadBlockHeader(in, header)) {
    return false;
  }
  SegmentReader segments(in);
  SegmentRecord segment;
  while (segments.Next(&segment)) {
    block->segments.push_back(Fields(segment));
  }
  EventReader events(in, segments.event_count());
  EventRecord event;
  while (events.Next(&event)) {
    block->events.emplace_back(event.timestamp, event.text);
    block->event_lines.push_back(std::string(event.timestamp_line) + "|" +
                                 std::string(event.text_line));
  }
  return true;
}

int CountBlocks(std::string_view content) {
  LineReader in(content);
  BlockHeader header;
  Block block;
  int blocks = 0;
  while (ReadBlock(&in, &header, &block)) {
    ++blocks;
  }
  return blocks;
}

TEST(ReadBlockHeader, FindsMarkersByPositionsZeroOneAndFour) {
  const struct Case {
    std::string marker;
    int blocks;
  } kCases[] = {{"trash", 1},      {"train", 0}, {"trip header", 0},
                {"tripheader", 1}, {"tr", 0},    {std::string("tr\0xh", 5), 0},
                {"tr\rxh", 1}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.marker);
    EXPECT_EQ(CountBlocks(BlockBuilder().Marker(c.marker).Build()), c.blocks);
  }
}

TEST(ReadBlockHeader, KeepsFieldsCutAtLineEnd) {
  BlockBuilder builder;
  builder.Unit("TRK 12", "0042").Date("01.02.2022");
  builder.Header(9, "h9").Header(10, "h10").Header(11, "h11").Header(13, "h13");
  builder.Header(testing::GridLine(0, 0), "01:00:00");
  builder.Header(testing::GridLine(12, 7), "99:00:00");
  builder.Header(testing::GridLine(12, 8), "column 8");
  builder.Header(149, "a").Header(150, "b").Header(151, "c").Header(152, "d");
  builder.Header(159, "e").Header(testing::kModeCodeLine, "107");
  builder.Header(testing::kUnitLabelLine + 1, std::string("42\0x", 4));
  LineReader in(builder.Build("\r\n"));
  BlockHeader header;
  ASSERT_TRUE(ReadBlockHeader(&in, &header));
  EXPECT_EQ(header.unit_label, "TRK 12");
  EXPECT_EQ(header.unit_number, "42");
  EXPECT_EQ(header.block_date, "01.02.2022");
  EXPECT_EQ(header.line_9, "h9");
  EXPECT_EQ(header.line_13, "h13");
  EXPECT_EQ(header.duration_grid[0][0], "01:00:00");
  EXPECT_EQ(header.duration_grid[12][7], "99:00:00");
  EXPECT_EQ(header.line_152, "d");
  EXPECT_EQ(header.line_159, "e");
  EXPECT_EQ(header.mode_code, "107");
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
  EXPECT_EQ(header.line_159, "before");
  EXPECT_EQ(header.mode_code, "SHIFTED");
}

TEST(ReadBlockHeader, FieldsOfAHeaderCutShortKeepThePreviousBlocks) {
  BlockBuilder first;
  first.Unit("FIRST", "1").Date("01.02.2022").Header(159, "old");
  first.Header(testing::GridLine(12, 0), "02:00:00");
  std::string second = BlockBuilder().Unit("SECOND", "2").Build();
  second.resize(second.find("SECOND") + 80);  // ends inside the grid
  LineReader in(first.Build() + second);
  BlockHeader header;
  Block block;
  ASSERT_TRUE(ReadBlock(&in, &header, &block));
  ASSERT_TRUE(ReadBlockHeader(&in, &header));
  EXPECT_EQ(header.unit_label, "SECOND");
  EXPECT_EQ(header.block_date, "");
  EXPECT_EQ(header.duration_grid[12][0], "02:00:00");
  EXPECT_EQ(header.line_159, "old");
}

TEST(ReadBlockHeader, MarkerAsLastLineWithoutLineEndIsNoBlock) {
  EXPECT_EQ(CountBlocks("noise\ntrash"), 0);
  EXPECT_EQ(CountBlocks("noise\ntrash\n"), 1);
}

TEST(SegmentReader, HandsOutSegmentsInFileOrderWithTheirFieldsCut) {
  BlockBuilder builder;
  builder.Segment({{5, "7"},
                   {6, "01:00:00"},
                   {7, "02:00:00"},
                   {11, "15/06/2022"},
                   {12, "07:00:00"},
                   {28, "03:00:00"},
                   {29, std::string("12\0km", 5)},
                   {33, "first"},
                   {34, "end"},
                   {35, "15/06/2022 07:00:00"},
                   {36, "15/06/2022 09:00:00"}});
  builder.Segment({{33, std::string(70, 's')}, {34, "second end"}});
  builder.Admin("Admin 0  ");
  LineReader in(builder.Build("\r\n"));
  BlockHeader header;
  Block block;
  ASSERT_TRUE(ReadBlock(&in, &header, &block));
  ASSERT_EQ(block.segments.size(), 2u);
  // A 12-wide slot keeps 11 characters, so the date's carriage return is
  // cut.
  EXPECT_EQ(
      block.segments[0],
      (std::vector<std::string>{"7", "01:00:00", "02:00:00", "15/06/2022",
                                "07:00:00", "03:00:00", "12", "first", "end",
                                "15/06/2022 07:00:00", "15/06/2022 09:00:00"}));
  // A 70-character start text is consumed whole: the end text follows.
  EXPECT_EQ(block.segments[1][7], std::string(59, 's'));
  EXPECT_EQ(block.segments[1][8], "second end");
  EXPECT_EQ(block.segments[1][0], "");
}

TEST(SegmentReader, BlockWithoutSegmentsTakesItsFirstLineAsAdminLine) {
  BlockBuilder builder;
  builder.Admin("Admin 2").Event("15/06/2022 07:00:00", "Route North");
  builder.Event("15/06/2022 07:10:00", "Location A -> B");
  const std::string text =
      builder.Build() + BlockBuilder().Unit("NEXT", "1").Build();
  LineReader in(text);
  BlockHeader header;
  Block block;
  ASSERT_TRUE(ReadBlock(&in, &header, &block));
  EXPECT_TRUE(block.segments.empty());
  EXPECT_EQ(block.events.size(), 2u);
  ASSERT_TRUE(ReadBlock(&in, &header, &block));
  EXPECT_EQ(header.unit_label, "NEXT");
}

TEST(SegmentReader, SegmentCutShortKeepsWhatWasReadAndIsStillHandedOut) {
  BlockBuilder builder;
  builder.Segment({{5, "first"}}).Segment({{5, "3"}, {11, "15/06/2022"}});
  std::string text = builder.Build();
  text.resize(text.find("15/06/2022") + 5);
  LineReader in(text);
  BlockHeader header;
  Block block;
  ASSERT_TRUE(ReadBlock(&in, &header, &block));
  ASSERT_EQ(block.segments.size(), 2u);
  EXPECT_EQ(block.segments[1][0], "3");
  EXPECT_EQ(block.segments[1][3], "15/06");
  EXPECT_EQ(block.segments[1][4], "");
  EXPECT_EQ(block.segments[1][8], "");
  EXPECT_TRUE(block.events.empty());
}

TEST(EventReader, DropsPeriodicEventsAndKeepsTheRestInOrder) {
  BlockBuilder builder;
  builder.Segment();
  builder.Event("15/06/2022 07:00:00", "PTO Engaged at 07:00:00");
  builder.Event("15/06/2022 07:05:00", "Periodic report");
  builder.Event("15/06/2022 07:10:00", "Route North");
  builder.Event("15/06/2022 07:20:00", "Pe");
  builder.Event("15/06/2022 07:30:00", std::string("P\0eriodic", 9));
  const std::string text =
      builder.Build("\r\n") + BlockBuilder().Unit("NEXT", "1").Build("\r\n");
  LineReader in(text);
  BlockHeader header;
  Block block;
  ASSERT_TRUE(ReadBlock(&in, &header, &block));
  ASSERT_EQ(block.events.size(), 3u);
  EXPECT_EQ(block.events[0].first, "15/06/2022 07:00:00\r\n");
  EXPECT_EQ(block.events[1].second, "Route North\r\n");
  EXPECT_EQ(block.event_lines[1], "15/06/2022 07:10:00|Route North");
  EXPECT_EQ(block.events[2].second, "P");
  ASSERT_TRUE(ReadBlock(&in, &header, &block));
  EXPECT_EQ(header.unit_label, "NEXT");
}

TEST(EventReader, AdminCountsThatReadNoEvents) {
  for (const char* admin :
       {"Admin 0", "Admin -3", "Admin", "Totals 5", "\rAdmin 5"}) {
    SCOPED_TRACE(admin);
    BlockBuilder builder;
    builder.Segment().Admin(admin);
    const std::string text =
        builder.Build() + BlockBuilder().Unit("NEXT", "1").Build();
    LineReader in(text);
    BlockHeader header;
    Block block;
    ASSERT_TRUE(ReadBlock(&in, &header, &block));
    EXPECT_TRUE(block.events.empty());
    ASSERT_TRUE(ReadBlock(&in, &header, &block));
    EXPECT_EQ(header.unit_label, "NEXT");
  }
}

TEST(EventReader, LongEventTextSplitsIntoTheNextTimestamp) {
  BlockBuilder builder;
  builder.Segment();
  builder.Event("15/06/2022 07:00:00", std::string(298, 'x'));  // 298 + CR
  builder.Event("15/06/2022 07:10:00", "Route North");
  LineReader in(builder.Build("\r\n"));
  BlockHeader header;
  Block block;
  ASSERT_TRUE(ReadBlock(&in, &header, &block));
  ASSERT_EQ(block.events.size(), 2u);
  EXPECT_EQ(block.events[0].second.size(), 299u);
  EXPECT_EQ(block.event_lines[0],
            "15/06/2022 07:00:00|" + std::string(298, 'x'));
  EXPECT_EQ(block.events[1].first, "\n");
  EXPECT_EQ(block.events[1].second, "15/06/2022 07:10:00\r\n");
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
  BlockHeader header;
  Block block;
  ASSERT_TRUE(ReadBlock(&in, &header, &block));
  EXPECT_EQ(block.segments.size(), 2u);
  EXPECT_EQ(block.events.size(), 1u);
  EXPECT_FALSE(ReadBlock(&in, &header, &block));
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
