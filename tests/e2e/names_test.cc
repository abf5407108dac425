// Names from the export that cannot safely become folder or file names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/export_builder.h"
#include "support/temp_dir.h"
#include "support/tool_runner.h"

namespace tallora::testing {
namespace {

struct Outcome {
  ToolResult result;
  std::vector<std::string> tree;  // of the whole temporary folder
};

Outcome RunBlock(const BlockBuilder& block) {
  TempDir dir;
  const auto work = dir / "a" / "run";
  WriteFile(work / "sqlline.txt", block.Build());
  WriteFile(work / "tallora.ini", "out\\\n");
  std::filesystem::create_directories(work / "out" / "dhe");
  Outcome outcome{RunTool(work), ListTree(dir.path())};
  return outcome;
}

bool OnlyUnder(const std::vector<std::string>& tree, std::string_view root) {
  for (const std::string& entry : tree) {
    const bool allowed =
        entry == "a/" || entry == "a/run/" || entry == "a/run/sqlline.txt" ||
        entry == "a/run/tallora.ini" || entry.starts_with(root);
    if (!allowed) {
      ADD_FAILURE() << "written outside the output root: " << entry;
      return false;
    }
  }
  return true;
}

TEST(UnusableNames, LocationNamesAreRefusedAndReported) {
  const struct Case {
    const char* location;
    const char* reported;
  } kCases[] = {
      {"..", "\"..\""},
      {"a/b", "\"a/b\""},
      {"C:x", "\"C:x\""},
      {"a\\..\\..\\b", "\"a\\x5C..\\x5C..\\x5Cb\""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.location);
    BlockBuilder block;
    block.Unit("TRK1", "1").Date("15/06/2022").Segment();
    block.Event("15/06/2022 07:10:00",
                std::string("Location ") + c.location + " -> Depot");
    const Outcome outcome = RunBlock(block);
    EXPECT_EQ(outcome.result.exit_code, 1);
    EXPECT_EQ(outcome.result.diagnostics,
              std::string("tallora: unusable folder or file name, not "
                          "written: ") +
                  c.reported + "\n");
    EXPECT_TRUE(OnlyUnder(outcome.tree, "a/run/out/"));
    // Every other file of the block is written as usual.
    const std::vector<std::string>& tree = outcome.tree;
    for (const char* expected :
         {"a/run/out/Node/TRK1/15062022.csv",
          "a/run/out/Node/Depot/15062022.csv",
          "a/run/out/Shift/15062022/Combined.csv", "a/run/out/dhe/1.rep"}) {
      EXPECT_NE(std::find(tree.begin(), tree.end(), expected), tree.end())
          << expected;
    }
  }
}

TEST(UnusableNames, UnitLabelIsReportedOncePerBlockEvenWithoutLocations) {
  BlockBuilder block;
  block.Unit("..", "1").Date("15/06/2022").Segment();
  block.Event("15/06/2022 07:10:00", "Location Depot -> Quarry");
  block.Event("15/06/2022 08:10:00", "Location Quarry -> Depot");
  const Outcome outcome = RunBlock(block);
  EXPECT_EQ(outcome.result.exit_code, 1);
  EXPECT_EQ(outcome.result.diagnostics,
            "tallora: unusable folder or file name, not written: \"..\"\n");
  EXPECT_TRUE(OnlyUnder(outcome.tree, "a/run/out/"));
  // The location files name the unit only in their lines.
  EXPECT_NE(std::find(outcome.tree.begin(), outcome.tree.end(),
                      "a/run/out/Node/Depot/15062022.csv"),
            outcome.tree.end());

  BlockBuilder quiet;
  quiet.Unit("a/b", "1").Date("15/06/2022").Segment();
  EXPECT_EQ(RunBlock(quiet).result.diagnostics,
            "tallora: unusable folder or file name, not written: \"a/b\"\n");
}

TEST(UnusableNames, UnusableDatesMakeNoDateFolders) {
  BlockBuilder block;
  block.Unit("TRK1", "1").Date("1/2/2022").Segment();
  block.Event("15/06/2022 07:10:00", "Location Depot -> Quarry");
  block.Event("1/6/2022 07:10:00", "Location Quarry -> Depot");
  const Outcome outcome = RunBlock(block);
  EXPECT_EQ(outcome.result.exit_code, 1);
  EXPECT_EQ(outcome.result.diagnostics,
            "tallora: unusable folder or file name, not written: "
            "\"1/6/2022 07:10:00\"\n"
            "tallora: unusable folder or file name, not written: "
            "\"1/2/2022\"\n");
  EXPECT_EQ(outcome.tree,
            (std::vector<std::string>{
                "a/", "a/run/", "a/run/out/", "a/run/out/Node/",
                "a/run/out/Node/Depot/", "a/run/out/Node/Depot/15062022.csv",
                "a/run/out/Node/Quarry/", "a/run/out/Node/Quarry/15062022.csv",
                "a/run/out/Node/TRK1/", "a/run/out/Node/TRK1/15062022.csv",
                "a/run/out/Shift/", "a/run/out/dhe/", "a/run/out/dhe/1.rep",
                "a/run/sqlline.txt", "a/run/tallora.ini"}));
}

}  // namespace
}  // namespace tallora::testing
