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

}  // namespace
}  // namespace tallora::testing
