// The console text and exit status of whole runs.
#include <gtest/gtest.h>

#include "support/export_builder.h"
#include "support/temp_dir.h"
#include "support/tool_runner.h"

namespace tallora::testing {
namespace {

constexpr char kBanner[] = "Beware Witchcraft!!\n";

TEST(Console, PrintsBannerAndOneProgressLinePerBlock) {
  TempDir dir;
  const auto work = dir / "run";
  std::vector<BlockBuilder> blocks(2);
  blocks[0].Unit("TRK 12", "12").Date("01.02.2022").Segment();
  blocks[1].Unit("TRK 7", "7").Date("02.02.2022").Segment();
  WriteFile(work / "sqlline.txt", BuildExport(blocks, "\r\n"));
  WriteFile(work / "tallora.ini", "out\\\r\n");
  std::filesystem::create_directories(work / "out");

  const ToolResult result = RunTool(work);
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.console, std::string(kBanner) +
                                "TRK 1201.02.2022 DHE  Nodes  Shifts \n"
                                "TRK 702.02.2022 DHE  Nodes  Shifts \n");
  EXPECT_EQ(result.diagnostics, "");
}

// An export in which no block is found used to pass as a day without data.
TEST(Console, ExportWithoutABlockFailsUnlessItIsBlank) {
  const struct Case {
    const char* name;
    std::string export_text;
    int status;
    std::string failure;
  } kCases[] = {
      {"lines but no marker", "train\nnothing here\r\ntr\n", 1,
       "tallora: not an export: sqlline.txt: no block found"},
      {"UTF-16", std::string("\xFF\xFEt\0r\0i\0p\0", 10), 1,
       "tallora: not 8-bit text: sqlline.txt: saved as UTF-16"},
      {"empty", "", 0, ""},
      {"white space only", " \r\n\n\t\n", 0, ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const auto work = dir / "run";
    WriteFile(work / "sqlline.txt", c.export_text);
    const ToolResult result = RunTool(work);
    EXPECT_EQ(result.exit_code, c.status);
    EXPECT_EQ(result.console, kBanner);
    EXPECT_TRUE(result.diagnostics.starts_with(c.failure))
        << result.diagnostics;
    EXPECT_EQ(result.diagnostics.empty(), c.failure.empty());
    EXPECT_EQ(ListTree(work), std::vector<std::string>{"sqlline.txt"});
  }
}

TEST(Console, MissingInputIsReportedAndStillEndsAfterTheBanner) {
  TempDir dir;
  const auto work = dir / "run";
  std::filesystem::create_directories(work);
  const ToolResult result = RunTool(work);
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.console, kBanner);
  EXPECT_TRUE(result.diagnostics.starts_with(
      "tallora: cannot open input: sqlline.txt: "))
      << result.diagnostics;
  EXPECT_EQ(ListTree(work), std::vector<std::string>{});
}

TEST(Console, TruncatedFinalBlockIsStillProcessed) {
  TempDir dir;
  const auto work = dir / "run";
  BlockBuilder block;
  block.Unit("TRK1", "1").Date("15/06/2022").Segment().Segment();
  const std::string whole = block.Build();
  WriteFile(work / "sqlline.txt", whole.substr(0, whole.size() - 200));
  const ToolResult result = RunTool(work);
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.console,
            std::string(kBanner) + "TRK115/06/2022 DHE  Nodes  Shifts \n");
}

// Arguments used to run a whole pass and append every report a second time.
TEST(Console, ArgumentsOtherThanNoneNeitherReadNorWriteAnything) {
  const struct Case {
    const char* arguments;
    int status;
    const char* console_start;
    const char* diagnostics_start;
  } kCases[] = {
      {"--help", 0, "Usage: tallora", ""},
      {"-h", 0, "Usage: tallora", ""},
      {"'/?'", 0, "Usage: tallora", ""},
      {"--version", 0, "tallora 1.", ""},
      {"sqlline.txt", 2, "",
       "tallora: takes no file to read: \"sqlline.txt\": name the export "
       "sqlline.txt"},
      {"--bogus", 2, "", "tallora: unknown option: \"--bogus\"\n\nUsage:"},
      {"a b", 2, "", "tallora: takes no arguments: \"a\" \"b\"\n"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.arguments);
    TempDir dir;
    const auto work = dir / "run";
    WriteFile(work / "sqlline.txt",
              BlockBuilder().Unit("TRK1", "1").Segment().Build());
    WriteFile(work / "tallora.ini", "out\\\n");
    std::filesystem::create_directories(work / "out" / "dhe");
    const ToolResult result = RunToolWithArguments(work, c.arguments);
    EXPECT_EQ(result.exit_code, c.status);
    EXPECT_TRUE(result.console.starts_with(c.console_start)) << result.console;
    EXPECT_EQ(result.console.empty(), *c.console_start == '\0');
    EXPECT_TRUE(result.diagnostics.starts_with(c.diagnostics_start))
        << result.diagnostics;
    EXPECT_EQ(result.summary, "");
    EXPECT_EQ(ListTree(work),
              (std::vector<std::string>{"out/", "out/dhe/", "sqlline.txt",
                                        "tallora.ini"}));
  }
}

}  // namespace
}  // namespace tallora::testing
