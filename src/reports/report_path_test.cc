#include "reports/report_path.h"

#include <gtest/gtest.h>

#include <string>

namespace tallora {
namespace {

TEST(IsUsableName, RefusesNamesThatLeaveTheFolderOrReachSpecialFiles) {
  const struct Case {
    std::string name;
    bool usable;
  } kCases[] = {
      {"Depot", true},       {"TRK 12", true}, {"North-Yard_2", true},
      {"..x", true},         {"", false},      {".", false},
      {"..", false},         {"a/b", false},   {"a\\b", false},
      {"C:x", false},        {"a*", false},    {"a?", false},
      {"\"a\"", false},      {"<a>", false},   {"a|b", false},
      {"a\tb", false},       {"a\rb", false},  {std::string("a\0b", 3), false},
      {"caf\xc3\xa9", true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IsUsableName(c.name), c.usable);
  }
}

TEST(DateFolderName, TakesDayMonthYearAtFixedPositions) {
  const struct Case {
    std::string_view text;
    std::optional<std::string_view> name;
  } kCases[] = {
      {"01.02.2022", "01022022"},   {"15/06/2022 07:10:00\r\n", "15062022"},
      {"01.02.202", std::nullopt},  {"1/2/2022\r\n", std::nullopt},
      {"01/0:/2022", std::nullopt}, {"../../2022", "....2022"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    const auto name = DateFolderName(c.text);
    ASSERT_EQ(name.has_value(), c.name.has_value());
    if (name) {
      EXPECT_EQ(name->view(), *c.name);
    }
  }
}

TEST(OutputPath, UsesTheRootAsARawPrefix) {
#ifdef _WIN32
  EXPECT_EQ(OutputPath("D:\\Reports\\", {"Shift", "01022022", "Combined.csv"}),
            "D:\\Reports\\Shift\\01022022\\Combined.csv");
  EXPECT_EQ(OutputPath("D:\\Reports", {"Shift"}), "D:\\ReportsShift");
#else
  EXPECT_EQ(OutputPath("out\\", {"Shift", "01022022", "Combined.csv"}),
            "out/Shift/01022022/Combined.csv");
  EXPECT_EQ(OutputPath("out", {"Shift"}), "outShift");
  EXPECT_EQ(OutputPath("", {"dhe", "42.rep"}), "dhe/42.rep");
#endif
}

}  // namespace
}  // namespace tallora
