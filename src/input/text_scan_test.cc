#include "input/text_scan.h"

#include <gtest/gtest.h>

#include <string>

namespace tallora {
namespace {

TEST(LeadingInteger, TakesSignAndDigitsAfterWhiteSpaceSaturating) {
  const struct Case {
    std::string_view text;
    std::int32_t value;
  } kCases[] = {
      {"0107\r\n", 107},
      {"abc", 0},
      {" -5x", -5},
      {"+12 km", 12},
      {"", 0},
      {"-", 0},
      {"\t\v\f 42", 42},
      {"2147483647", 2147483647},
      {"2147483648", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"-2147483649", -2147483647 - 1},
      {"99999999999999999999999", 2147483647},
      // A lone carriage return ends the text before the digits.
      {"\r7", 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(LeadingInteger(c.text), c.value);
  }
}

TEST(ScanText, MatchesLikeTheFormattedRead) {
  std::string_view a = "unset";
  std::string_view b = "unset";
  EXPECT_EQ(
      ScanText("Location Depot -> Quarry\r\n", "Location %s -> %s", {&a, &b}),
      2);
  EXPECT_EQ(a, "Depot");
  EXPECT_EQ(b, "Quarry");

  // A space in the format matches any run of white space, including none.
  EXPECT_EQ(ScanText("LocationDepot->Quarry", "Location %s -> %s", {&a, &b}),
            1);
  EXPECT_EQ(a, "Depot->Quarry");

  a = b = "unset";
  EXPECT_EQ(ScanText("Location Depot", "Location %s -> %s", {&a, &b}), 1);
  EXPECT_EQ(a, "Depot");
  EXPECT_EQ(b, "unset");

  EXPECT_EQ(ScanText("Locatio", "Location %s -> %s", {&a, &b}), 0);
  EXPECT_EQ(ScanText("PTX 01:00:00", "PTO %s %s", {&a, &b}), 0);
}

TEST(ScanText, StopsAtAMismatchKeepingWhatWasStored) {
  std::string_view token;
  std::int32_t odometer = -1;
  std::int32_t fuel = -1;
  const char* kFormat =
      "PTO Engaged at %s with an odometer of %ld and fuel count %ld";
  EXPECT_EQ(ScanText("PTO Engaged at 08:00:00 with an odometer of 1000 and "
                     "fuel count 50\r\n",
                     kFormat, {&token, &odometer, &fuel}),
            3);
  EXPECT_EQ(token, "08:00:00");
  EXPECT_EQ(odometer, 1000);
  EXPECT_EQ(fuel, 50);

  EXPECT_EQ(ScanText("PTO Engaged at 09:00:00 with an odometer of 77 and fuel "
                     "level 3",
                     kFormat, {&token, &odometer, &fuel}),
            2);
  EXPECT_EQ(odometer, 77);
  EXPECT_EQ(fuel, 50);

  EXPECT_EQ(ScanText("PTO Engaged at 09:00:00 with an odometer of x", kFormat,
                     {&token, &odometer, &fuel}),
            1);
  EXPECT_EQ(odometer, 77);
}

TEST(ScanText, NumbersSaturateAtThe32BitRange) {
  std::int32_t count = 0;
  EXPECT_EQ(ScanText("Admin 99999999999", "Admin %d\n", {&count}), 1);
  EXPECT_EQ(count, 2147483647);
  EXPECT_EQ(ScanText("Admin -99999999999", "Admin %d\n", {&count}), 1);
  EXPECT_EQ(count, -2147483647 - 1);
  EXPECT_EQ(ScanText("Admin3", "Admin %d\n", {&count}), 1);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(ScanText("admin 3", "Admin %d\n", {&count}), 0);
}

}  // namespace
}  // namespace tallora
