// What is read faithfully but plainly is not what the export means: one
// warning line per kind at the end of the run, with the count and the first
// place, and never a change to the reports or the exit status.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "support/export_builder.h"
#include "support/temp_dir.h"
#include "support/tool_runner.h"

namespace tallora::testing {
namespace {

// A block of one segment: its admin line is input line 246 and its first
// event's timestamp line 247 when it is the export's first block.
BlockBuilder OneSegment() {
  BlockBuilder block;
  block.Unit("TRK1", "1").Date("15/06/2022").Segment();
  return block;
}

std::string WithEvent(std::string text) {
  return OneSegment().Event("15/06/2022 07:00:00", std::move(text)).Build();
}

TEST(Warnings, EachKindIsCountedWithItsFirstPlace) {
  const std::string block = OneSegment().Build();
  const struct Case {
    const char* name;
    std::string export_text;
    std::string warning;  // the warning's text, up to its count
    std::string where;    // count and first place
  } kCases[] = {
      {"junk before the block", "junk\n\n" + block,
       "non-blank lines outside any block were skipped",
       ": 1, first at sqlline.txt line 1 (block of \"TRK1\""},
      {"header line 160 too long",
       OneSegment().Header(160, std::string(2100, 'x')).Build(),
       // Its rest is split again at the next lines' read limit of 40.
       "lines longer than their read limit",
       ": 3, first at sqlline.txt line 161"},
      {"admin line misspelt", OneSegment().Admin("Admn 0").Build(),
       "admin lines not of the form", ": 1, first at sqlline.txt line 246"},
      {"admin count too large", OneSegment().Admin("Admin 2").Build() + block,
       "event lines that are block markers",
       ": 1, first at sqlline.txt line 247"},
      {"export cut short", block.substr(0, block.size() / 2),
       "the export ends inside a block", ": 1, first at sqlline.txt line "},
      {"location with spaces", WithEvent("Location Asphalt Plant -> Quarry"),
       "location events not of the form", ": 1, first at sqlline.txt line 247"},
      {"words left over", WithEvent("Location Quarry -> Asphalt Plant"),
       "more words than the one-word name",
       ": 1, first at sqlline.txt line 247"},
      {"long location", WithEvent("Location " + std::string(30, 'L') + " -> Q"),
       "names were cut", ": 1, first at sqlline.txt line 247"},
      {"comma in a name", WithEvent("Location Depot,North -> Quarry"),
       "fields hold a comma", ": 1, first at sqlline.txt line 1"},
      {"formula route",
       OneSegment()
           .Event("15/06/2022 07:00:00", "Route =HYPERLINK")
           .Event("15/06/2022 07:10:00", "Location Depot -> Quarry")
           .Build(),
       "names start like a formula", ": 4, first at sqlline.txt line 1"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const auto work = dir / "run";
    WriteFile(work / "sqlline.txt", c.export_text);
    WriteFile(work / "tallora.ini", "out\\\n");
    std::filesystem::create_directories(work / "out");
    const ToolResult result = RunTool(work);
    EXPECT_EQ(result.exit_code, 0) << result.diagnostics;
    const std::size_t at = result.warnings.find(c.warning);
    ASSERT_NE(at, std::string::npos) << result.warnings;
    const std::size_t end = result.warnings.find('\n', at);
    const std::string line = result.warnings.substr(at, end - at);
    EXPECT_NE(line.find(c.where), std::string::npos) << line;
    EXPECT_EQ(result.warnings.find(c.warning, end), std::string::npos)
        << "one line per kind";
  }
}

TEST(Warnings, PastTheNodeTableTheRestIsCountedFromItsFirst) {
  BlockBuilder block = OneSegment();
  for (int i = 0; i < 2502; ++i) {
    block.Event("15/06/2022 07:00:00", "Location Depot -> Quarry");
  }
  TempDir dir;
  const auto work = dir / "run";
  WriteFile(work / "sqlline.txt", block.Build());
  WriteFile(work / "tallora.ini", "out\\\n");
  std::filesystem::create_directories(work / "out");
  const ToolResult result = RunTool(work);
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_NE(result.warnings.find("past the node table's 5000 rows of a block "
                                 "were passed over: 2, first at sqlline.txt "
                                 "line 5247"),
            std::string::npos)
      << result.warnings;
}

// Exports joined from parts that each began with a byte-order mark used to
// lose the first block of every part.
TEST(Warnings, ByteOrderMarksBeforeBlocksAreIgnored) {
  const std::string mark = "\xEF\xBB\xBF";
  const std::string part = OneSegment().Build("\r\n");
  TempDir dir;
  const auto work = dir / "run";
  WriteFile(work / "sqlline.txt", mark + part + mark + part);
  const ToolResult result = RunTool(work);
  EXPECT_EQ(result.exit_code, 0) << result.diagnostics;
  EXPECT_EQ(result.console,
            "Beware Witchcraft!!\n"
            "TRK115/06/2022 DHE  Nodes  Shifts \n"
            "TRK115/06/2022 DHE  Nodes  Shifts \n");
  EXPECT_EQ(result.warnings.find("skipped"), std::string::npos)
      << result.warnings;
}

}  // namespace
}  // namespace tallora::testing
