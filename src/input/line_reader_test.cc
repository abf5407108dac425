#include "input/line_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
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

TEST(LineReader, FieldsAreWhatTheirSlotKeepsCutAtLineEnd) {
  const struct Case {
    const char* name;
    std::string line;
    std::size_t width;
    std::string stored;
    std::string field;
  } kCases[] = {
      {"line end kept or cut", "AB\r\n", 10, "AB\r\n", "AB"},
      {"width-1 bytes kept", "0123456789\n", 5, "0123", "0123"},
      {"line end past the width", "0123\r\n", 5, "0123", "0123"},
      {"carriage return inside", "A\rB\n", 10, "A\rB\n", "A"},
      {"nul ends both", std::string("AB\0C\r\n", 6), 10, "AB", "AB"},
      {"nul after a carriage return", std::string("A\rB\0C\n", 6), 10, "A\rB",
       "A"},
      {"long field", std::string(70, 's') + "\r\n", 60, std::string(59, 's'),
       std::string(59, 's')},
      {"long field with an early end", std::string(20, 's') + "\r\n", 60,
       std::string(20, 's') + "\r\n", std::string(20, 's')},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    std::string_view stored;
    std::string_view field;
    std::string_view both_stored;
    std::string_view both_field;
    LineReader a(c.line);
    LineReader b(c.line);
    LineReader d(c.line);
    ASSERT_TRUE(a.ReadStored(80, c.width, &stored));
    ASSERT_TRUE(b.ReadField(80, c.width, &field));
    ASSERT_TRUE(d.ReadStoredAndField(80, c.width, &both_stored, &both_field));
    EXPECT_EQ(stored, c.stored);
    EXPECT_EQ(field, c.field);
    EXPECT_EQ(both_stored, c.stored);
    EXPECT_EQ(both_field, c.field);
  }
}

TEST(LineReader, FailedReadLeavesSlotUnchanged) {
  LineReader in(std::string_view("only\n"));
  TextSlot<10> slot;
  ASSERT_TRUE(in.ReadField(10, &slot));
  EXPECT_FALSE(in.eof());
  EXPECT_FALSE(in.ReadField(10, &slot));
  EXPECT_TRUE(in.eof());
  EXPECT_EQ(slot.view(), "only");
}

TEST(LineReader, CountsInputLinesWithASplitLineAsOne) {
  LineReader in(std::string_view("a\nbcdefg\nh\n"));
  std::string_view line;
  EXPECT_EQ(in.line_number(), 0u);
  const struct {
    std::size_t limit;
    std::uint64_t line_number;
  } kReads[] = {{10, 1}, {4, 2}, {4, 2}, {4, 2}, {10, 3}};
  for (const auto& read : kReads) {
    ASSERT_TRUE(in.ReadLine(read.limit, &line));
    EXPECT_EQ(in.line_number(), read.line_number) << line;
  }
  EXPECT_FALSE(in.ReadLine(10, &line));
  EXPECT_EQ(in.line_number(), 3u);
}

TEST(LineReader, StopMakesTheInputEndAtTheNextReservation) {
  LineReader in(std::string_view("a\nb\nc\n"));
  std::string_view line;
  ASSERT_TRUE(in.ReadLine(10, &line));
  in.RequestStop();
  in.Reserve(100);
  EXPECT_FALSE(in.ReadLine(10, &line));
  EXPECT_TRUE(in.eof());
  EXPECT_EQ(line, "a\n");
}

// A file of random lines: short ones, ones at and past every limit, CR LF,
// NUL bytes, and no line feed at the end.
std::string RandomLines(std::uint32_t seed) {
  std::mt19937 random(seed);
  std::string text;
  while (text.size() < (std::size_t{3} << 20)) {
    const std::size_t length =
        random() % 8 == 0 ? random() % 2100 : random() % 24;
    for (std::size_t i = 0; i < length; ++i) {
      const unsigned pick = random() % 64;
      text += pick == 0   ? '\0'
              : pick == 1 ? '\r'
                          : static_cast<char>('a' + pick % 26);
    }
    text += random() % 4 == 0 ? "\r\n" : "\n";
  }
  text += "tail";
  return text;
}

// Every read of a file that crosses many buffer refills matches a plain
// reading of the same bytes, views handed out under a reservation stay valid
// together, and the line count follows.
TEST(LineReader, FileReadsMatchAPlainReadingAcrossRefills) {
  for (const std::uint32_t seed : {1u, 2u}) {
    SCOPED_TRACE(seed);
    const std::string text = RandomLines(seed);
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(std::fwrite(text.data(), 1, text.size(), file), text.size());
    std::rewind(file);
    LineReader in(file);
    std::mt19937 random(seed);
    constexpr std::size_t kLimits[] = {2, 10, 20, 25, 30, 40, 100, 300, 2000};
    std::size_t pos = 0;
    std::uint64_t lines = 0;
    while (pos < text.size()) {
      // A group of reads under one reservation, as a segment is read.
      std::size_t group[8];
      std::size_t reserved = 0;
      for (std::size_t& limit : group) {
        limit = kLimits[random() % std::size(kLimits)];
        reserved += limit - 1;
      }
      in.Reserve(reserved);
      std::string_view views[8];
      std::size_t starts[8];
      for (std::size_t i = 0; i < 8 && pos < text.size(); ++i) {
        const std::size_t most = group[i] - 1;
        const std::size_t feed = text.find('\n', pos);
        const std::size_t end =
            std::min({feed == std::string::npos ? text.size() : feed + 1,
                      pos + most, text.size()});
        ASSERT_TRUE(in.ReadLine(group[i], &views[i]));
        ASSERT_EQ(views[i], std::string_view(text).substr(pos, end - pos));
        EXPECT_EQ(in.line_number(), lines + 1);
        EXPECT_EQ(in.eof(), end == text.size() && end - pos < most &&
                                text.back() != '\n');
        starts[i] = pos;
        lines += text[end - 1] == '\n';
        pos = end;
      }
      for (std::size_t i = 0; i < 8 && !views[i].empty(); ++i) {
        EXPECT_EQ(views[i],
                  std::string_view(text).substr(starts[i], views[i].size()));
      }
    }
    std::string_view line;
    EXPECT_FALSE(in.ReadLine(10, &line));
    EXPECT_TRUE(in.eof());
    EXPECT_FALSE(in.error());
    std::fclose(file);
  }
}

}  // namespace
}  // namespace tallora
