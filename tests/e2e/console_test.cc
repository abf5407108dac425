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

TEST(Console, ExportWithoutMarkerShowsOnlyTheBannerAndTouchesNothing) {
  TempDir dir;
  const auto work = dir / "run";
  WriteFile(work / "sqlline.txt", "train\nnothing here\r\ntr\n");
  const ToolResult result = RunTool(work);
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.console, kBanner);
  EXPECT_EQ(ListTree(work), std::vector<std::string>{"sqlline.txt"});
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
