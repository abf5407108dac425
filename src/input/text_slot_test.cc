#include "input/text_slot.h"

#include <gtest/gtest.h>

#include <string>

namespace tallora {
namespace {

TEST(TextSlot, AssignKeepsAtMostWidthLessOneBytesAndStopsAtNul) {
  const struct Case {
    const char* name;
    std::string text;
    std::string_view stored;
  } kCases[] = {
      {"empty", "", ""},
      {"width-2", "ab", "ab"},
      {"width-1", "abc", "abc"},
      {"width", "abcd", "abc"},
      {"width+1", "abcde", "abc"},
      {"nul first", std::string("\0ab", 3), ""},
      {"nul inside", std::string("a\0b", 3), "a"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TextSlot<4> slot;
    slot.Assign(c.text);
    EXPECT_EQ(slot.view(), c.stored);
    EXPECT_EQ(slot.c_str()[slot.size()], '\0');
  }
}

TEST(TextSlot, CutAtLineEndStopsAtFirstCarriageReturnOrLineFeed) {
  const struct Case {
    std::string_view text;
    std::string_view cut;
  } kCases[] = {
      {"AB\r\n", "AB"}, {"AB\n", "AB"}, {"A\rB\n", "A"},
      {"AB", "AB"},     {"\nAB", ""},   {"", ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    TextSlot<10> slot(c.text);
    slot.CutAtLineEnd();
    EXPECT_EQ(slot.view(), c.cut);
    EXPECT_EQ(CutAtLineEnd(c.text), c.cut);
  }
}

}  // namespace
}  // namespace tallora
