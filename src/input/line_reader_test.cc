#include "input/line_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace tallora {
namespace {

// Reads every line of `content` with one limit, noting the end-of-file state
// after each read.
std::vector<std::string> ReadAll(std::string_view content, std::size_t limit,
                                 std::vector<bool>* eof_after = nullptr) {
  LineReader in(content);
  std::vector<std::string> lines;
  std::string_view line;
  while (in.ReadLine(limit, &line)) {
    lines.emplace_back(line);
    if (eof_after != nullptr) {
      eof_after->push_back(in.eof());
    }
  }
  EXPECT_TRUE(in.eof());
  return lines;
}

TEST(LineReader, SplitsLinesAtLineFeedOrLimit) {
  const struct Case {
    const char* name;
    std::string content;
    std::size_t limit;
    std::vector<std::string> lines;
  } kCases[] = {
      {"line feed kept", "ab\ncd\n", 10, {"ab\n", "cd\n"}},
      {"exactly limit-1 then feed", "abcd\nx\n", 5, {"abcd", "\n", "x\n"}},
      {"longer line split", "abcdefg\n", 4, {"abc", "def", "g\n"}},
      {"carriage return is a character", "ab\r\n", 5, {"ab\r\n"}},
      {"carriage return pushes feed over limit", "abc\r\n", 5, {"abc\r", "\n"}},
      {"last line without feed", "ab\ncd", 10, {"ab\n", "cd"}},
      {"empty input", "", 10, {}},
      {"nul byte is ordinary",
       std::string("a\0b\n", 4),
       10,
       {std::string("a\0b\n", 4)}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReadAll(c.content, c.limit), c.lines);
  }
}

TEST(LineReader, EndOfFileIsSetOnlyWhenAReadFindsNoFurtherByte) {
  std::vector<bool> eof_after;
  // The last read stops at its limit, so end of input is not yet seen.
  ReadAll("abcd", 5, &eof_after);
  EXPECT_EQ(eof_after, (std::vector<bool>{false}));

  eof_after.clear();
  ReadAll("ab\n", 10, &eof_after);
  EXPECT_EQ(eof_after, (std::vector<bool>{false}));

  eof_after.clear();
  ReadAll("ab\ncd", 10, &eof_after);
  EXPECT_EQ(eof_after, (std::vector<bool>{false, true}));
}

TEST(LineReader, FailedReadLeavesSlotUnchanged) {
  LineReader in(std::string_view("only\n"));
  TextSlot<10> slot;
  ASSERT_TRUE(in.ReadLine(10, &slot));
  EXPECT_FALSE(in.eof());
  EXPECT_FALSE(in.ReadLine(10, &slot));
  EXPECT_TRUE(in.eof());
  EXPECT_EQ(slot.view(), "only\n");
}

TEST(LineReader, SlotKeepsFirstCharactersOfALineLongerThanItsWidth) {
  LineReader in(std::string_view("0123456789\nnext\n"));
  TextSlot<5> slot;
  ASSERT_TRUE(in.ReadLine(40, &slot));
  EXPECT_EQ(slot.view(), "0123");
  ASSERT_TRUE(in.ReadLine(40, &slot));
  EXPECT_EQ(slot.view(), "next");  // "next\n" keeps four characters
}

TEST(LineReader, ReadsAFileAcrossItsBufferRefills) {
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  std::string expected;
  for (int i = 0; i < 200000; ++i) {
    const std::string line =
        std::to_string(i) + std::string(i % 37, 'x') + "\n";
    expected += line;
  }
  std::fwrite(expected.data(), 1, expected.size(), file);
  std::rewind(file);
  LineReader in(file);
  std::string read_back;
  std::string_view line;
  while (in.ReadLine(20, &line)) {
    read_back.append(line);
  }
  EXPECT_EQ(read_back, expected);
  EXPECT_FALSE(in.error());
  std::fclose(file);
}

}  // namespace
}  // namespace tallora
