#include "text/text_scan.h"

#include <gtest/gtest.h>

#include <string>

#include "text/digits.h"

namespace tallora {
namespace {

TEST(LeadingInteger, TakesSignAndDigitsAfterWhiteSpaceSaturating) {
  const struct Case {
    std::string_view text;
    std::int32_t value;
    std::size_t length;
  } kCases[] = {
      {"0107", 107, 4},
      {"abc", 0, 0},
      {" -5x", -5, 3},
      {"+12 km", 12, 3},
      {"", 0, 0},
      {"-", 0, 0},
      {"- 5", 0, 0},
      {"\t\v\f\r\n 42", 42, 8},
      {"2147483647", 2147483647, 10},
      {"2147483648", 2147483647, 10},
      {"-2147483648", -2147483647 - 1, 11},
      {"-2147483649", -2147483647 - 1, 11},
      {"99999999999999999999999", 2147483647, 23},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    std::size_t length = 99;
    EXPECT_EQ(LeadingInteger(c.text, &length), c.value);
    EXPECT_EQ(length, c.length);
  }
}

TEST(PositionalDigit, ReadsSignedCodesAndCodeZeroPastTheEnd) {
  EXPECT_EQ(PositionalDigit("07", 1), 7);
  EXPECT_EQ(PositionalDigit("/", 0), -1);
  EXPECT_EQ(PositionalDigit("\x80", 0), -128 - 48);
  EXPECT_EQ(PositionalDigit("7", 1), -48);
}

// The steps of "Location %s -> %s", of "PTO Engaged at %s with an odometer of
// %ld and fuel count %ld" and of "Admin %d", as the readers use them.
struct Scanned {
  int steps = 0;  // steps that matched before the first mismatch
  std::string_view word_1 = "unset";
  std::string_view word_2 = "unset";
  std::int32_t number_1 = -1;
  std::int32_t number_2 = -1;
};

Scanned ScanLocation(std::string_view text) {
  Scanned s;
  TextScan scan(text);
  s.steps += scan.Expect("Location ").ok();
  s.steps += scan.ReadWord(&s.word_1).ok();
  s.steps += scan.Expect(" -> ").ok();
  s.steps += scan.ReadWord(&s.word_2).ok();
  return s;
}

Scanned ScanEngage(std::string_view text) {
  Scanned s;
  TextScan scan(text);
  s.steps += scan.Expect("PTO Engaged at ").ok();
  s.steps += scan.ReadWord(&s.word_1).ok();
  s.steps += scan.Expect(" with an odometer of ").ok();
  s.steps += scan.ReadNumber(&s.number_1).ok();
  s.steps += scan.Expect(" and fuel count ").ok();
  s.steps += scan.ReadNumber(&s.number_2).ok();
  return s;
}

TEST(TextScan, MatchesStepByStepAndStopsAtTheFirstMismatch) {
  const struct Case {
    const char* name;
    Scanned (*scan)(std::string_view);
    std::string_view text;
    Scanned expected;
  } kCases[] = {
      {"location",
       ScanLocation,
       "Location Depot -> Quarry",
       {4, "Depot", "Quarry"}},
      {"white space runs",
       ScanLocation,
       "Location \t Depot\v->  Quarry x",
       {4, "Depot", "Quarry"}},
      // A space in the pattern matches no white space too.
      {"no white space",
       ScanLocation,
       "LocationDepot->Quarry",
       {2, "Depot->Quarry"}},
      {"text ends", ScanLocation, "Location Depot", {2, "Depot"}},
      {"text ends in the literal", ScanLocation, "Locatio", {0}},
      {"empty word", ScanLocation, "Location    ", {1}},
      {"engage",
       ScanEngage,
       "PTO Engaged at 08:00:00 with an odometer of 1000 and fuel count 50",
       {6, "08:00:00", "unset", 1000, 50}},
      {"other words",
       ScanEngage,
       "PTO Engaged at 09:00 with an odometer of 77 and fuel level 3",
       {4, "09:00", "unset", 77, -1}},
      {"no digits",
       ScanEngage,
       "PTO Engaged at 09:00 with an odometer of x and fuel count 3",
       {3, "09:00"}},
      {"saturating numbers",
       ScanEngage,
       "PTO Engaged at t with an odometer of 99999999999 and fuel count "
       "-99999999999",
       {6, "t", "unset", 2147483647, -2147483647 - 1}},
      {"case matters", ScanEngage, "pto Engaged at t", {0}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const Scanned s = c.scan(c.text);
    EXPECT_EQ(s.steps, c.expected.steps);
    EXPECT_EQ(s.word_1, c.expected.word_1);
    EXPECT_EQ(s.word_2, c.expected.word_2);
    EXPECT_EQ(s.number_1, c.expected.number_1);
    EXPECT_EQ(s.number_2, c.expected.number_2);
  }
}

TEST(TextScan, TrailingWhiteSpaceOfALiteralTakesTheWholeRun) {
  std::int32_t count = -1;
  EXPECT_TRUE(TextScan("Admin   3").Expect("Admin ").ReadNumber(&count).ok());
  EXPECT_EQ(count, 3);
  std::string_view word;
  // After "a " the text's spaces are all taken, so "b" follows directly.
  EXPECT_TRUE(TextScan("a   b").Expect("a ").Expect("b").ok());
  EXPECT_FALSE(TextScan("a   b").Expect("a").Expect("b").ok());
  EXPECT_TRUE(TextScan("PTO  x").Expect("PTO ").ReadWord(&word).ok());
  EXPECT_EQ(word, "x");
}

}  // namespace
}  // namespace tallora
