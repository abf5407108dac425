#include "text/text_slot.h"

#include <gtest/gtest.h>

#include <string>

#include "text/line_end.h"

namespace tallora {
namespace {

TEST(TextSlot, KeepsAtMostWidthLessOneBytesAndStopsAtNul) {
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
      {"nul past the width", std::string("abcd\0", 5), "abc"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SlotKeeps(c.text, 4), c.stored);
    TextSlot<4> slot("previous");
    slot.Assign(c.text);
    EXPECT_EQ(slot.view(), c.stored);
    EXPECT_EQ(slot.c_str()[slot.size()], '\0');
  }
}

TEST(TextSlot, NulFreeTextIsStillCutToTheCapacity) {
  TextSlot<4> slot;
  slot.AssignNulFree("abcdef");
  EXPECT_EQ(slot.view(), "abc");
  EXPECT_EQ(slot.c_str()[3], '\0');
}

TEST(CutAtLineEnd, StopsAtTheFirstCarriageReturnOrLineFeed) {
  const struct Case {
    std::string_view text;
    std::string_view cut;
  } kCases[] = {
      {"AB\r\n", "AB"}, {"AB\n", "AB"}, {"A\rB\n", "A"},
      {"AB", "AB"},     {"\nAB", ""},   {"", ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(CutAtLineEnd(c.text), c.cut);
  }
}

}  // namespace
}  // namespace tallora
