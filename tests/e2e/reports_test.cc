// The report files that whole runs write, byte for byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/export_builder.h"
#include "support/temp_dir.h"
#include "support/tool_runner.h"

namespace tallora::testing {
namespace {

// A working folder holding an export, tallora.ini naming the root "out\"
// and, unless told otherwise, the folders out and out/dhe.
class ReportsTest : public ::testing::Test {
 protected:
  ToolResult Run(const std::string& export_text, bool with_dhe = true) {
    WriteFile(work_ / "sqlline.txt", export_text);
    WriteFile(work_ / "tallora.ini", "out\\\r\n");
    std::filesystem::create_directories(work_ / "out");
    if (with_dhe) {
      std::filesystem::create_directories(work_ / "out" / "dhe");
    }
    return RunTool(work_);
  }
  std::string Out(std::string_view relative) const {
    return ReadFile(work_ / "out" / relative);
  }
  std::vector<std::string> OutTree() const { return ListTree(work_ / "out"); }

  TempDir dir_;
  std::filesystem::path work_ = dir_ / "run";
};

TEST_F(ReportsTest, NodeRowsGoToTheUnitFileAndEachLocationFile) {
  BlockBuilder block;
  block.Unit("TRK1", "42").Date("15/06/2022").Segment();
  block.Event("15/06/2022 07:00:00", "Route North");
  block.Event("15/06/2022 07:10:00", "Location Depot -> Quarry");
  const ToolResult result = Run(block.Build("\r\n"));
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(Out("Node/TRK1/15062022.csv"),
            "Depot,Exit,15/06/2022 07:10:00,North,42\n"
            "Quarry,Enter,15/06/2022 07:10:00,North,42\n");
  EXPECT_EQ(Out("Node/Depot/15062022.csv"),
            "TRK1,Exit,15/06/2022 07:10:00,North,42\n");
  EXPECT_EQ(Out("Node/Quarry/15062022.csv"),
            "TRK1,Enter,15/06/2022 07:10:00,North,42\n");
}

TEST_F(ReportsTest, LastRouteOfTheBlockIsOnEveryRow) {
  BlockBuilder block;
  block.Unit("TRK1", "42").Date("15/06/2022").Segment();
  block.Event("15/06/2022 07:00:00", "Route North");
  block.Event("15/06/2022 07:10:00", "Location Depot -> Quarry");
  block.Event("16/06/2022 00:10:00", "Location Quarry -> Depot");
  block.Event("16/06/2022 00:20:00", "Route South");
  block.Event("16/06/2022 00:30:00", "Route");  // no name: route unchanged
  Run(block.Build());
  EXPECT_EQ(Out("Node/TRK1/15062022.csv"),
            "Depot,Exit,15/06/2022 07:10:00,South,42\n"
            "Quarry,Enter,15/06/2022 07:10:00,South,42\n");
  // Rows are filed by the date of their own timestamp.
  EXPECT_EQ(Out("Node/TRK1/16062022.csv"),
            "Quarry,Exit,16/06/2022 00:10:00,South,42\n"
            "Depot,Enter,16/06/2022 00:10:00,South,42\n");
}

TEST_F(ReportsTest, NodeTableKeepsTheFirst5000Rows) {
  BlockBuilder block;
  block.Unit("TRK1", "42").Date("15/06/2022").Segment();
  for (int i = 0; i < 2600; ++i) {
    block.Event("15/06/2022 07:10:00",
                i < 2500 ? "Location A -> B" : "Location C -> D");
  }
  Run(block.Build());
  const std::string unit_file = Out("Node/TRK1/15062022.csv");
  EXPECT_EQ(std::count(unit_file.begin(), unit_file.end(), '\n'), 5000);
  EXPECT_FALSE(std::filesystem::exists(work_ / "out" / "Node" / "C"));
}

TEST_F(ReportsTest, BlockWithoutLocationsMakesOnlyTheNodeFolders) {
  BlockBuilder block;
  block.Unit("TRK1", "0").Date("15/06/2022").Segment();
  block.Event("15/06/2022 07:00:00", "Route North");
  Run(block.Build(), /*with_dhe=*/false);
  EXPECT_EQ(OutTree(), (std::vector<std::string>{
                           "Node/", "Node/TRK1/", "Shift/", "Shift/15062022/",
                           "Shift/15062022/Combined.csv"}));
}

TEST_F(ReportsTest, DheFileIsNamedByTheUnitNumber) {
  const struct Case {
    const char* unit_number;
    int segments;
    bool with_dhe;
    std::vector<std::string> dhe_files;
  } kCases[] = {
      {"0042", 2, true, {"dhe/42.rep"}},
      {"abc", 2, true, {}},
      {"0", 2, true, {}},
      {"-7", 0, true, {"dhe/-7.rep"}},  // no segments: created empty
      {"0042", 2, false, {}},           // no dhe folder: DHE reports are off
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.unit_number);
    TempDir dir;
    work_ = dir / "run";
    BlockBuilder block;
    block.Unit("TRK1", c.unit_number).Date("15/06/2022");
    for (int i = 0; i < c.segments; ++i) {
      block.Segment(
          {{11, "15/06/2022"}, {12, i == 0 ? "07:00:00" : "13:30:00"}});
    }
    const ToolResult result = Run(block.Build("\r\n"), c.with_dhe);
    EXPECT_EQ(result.exit_code, 0);
    std::vector<std::string> dhe_files;
    for (const std::string& entry : OutTree()) {
      if (entry.starts_with("dhe/") && entry != "dhe/") {
        dhe_files.push_back(entry);
      }
    }
    EXPECT_EQ(dhe_files, c.dhe_files);
    if (c.dhe_files.size() == 1) {
      EXPECT_EQ(Out(c.dhe_files[0]), c.segments == 0
                                         ? ""
                                         : "15/06/2022,07:00:00 TRK1\n"
                                           "15/06/2022,13:30:00 TRK1\n");
    }
  }
}

TEST_F(ReportsTest, ShiftSummaryLineHasItsColumnsInOrder) {
  BlockBuilder block;
  block.Unit("TRK 12", "0042").Date("15.06.2022");
  block.Header(9, "Early").Header(10, "Hughes").Header(11, "D0412");
  block.Header(13, "150").Header(149, "8").Header(150, "0").Header(151, "1");
  block.Header(152, "27").Header(159, "54").Header(kModeCodeLine, "107");
  for (int row = 0; row < 13; ++row) {
    block.Header(GridLine(row, 0), "00:01:00");
    block.Header(GridLine(row, 8), "99:00:00");
  }
  block.Segment({{5, "3"},
                 {6, "01:30:00"},
                 {7, "00:10:00"},
                 {28, "00:20:00"},
                 {29, "12 km"},
                 {33, "Depot"},
                 {34, "Quarry"},
                 {35, "15/06/2022 06:00:00"},
                 {36, "15/06/2022 09:00:00"}});
  block.Segment({{5, "4"},
                 {6, "00:45:30"},
                 {7, "00:05:00"},
                 {28, "00:01:00"},
                 {29, "30"},
                 {33, "Quarry"},
                 {34, "Landfill"},
                 {35, "15/06/2022 10:00:00"},
                 {36, "15/06/2022 12:00:00"}});
  block.Event("15/06/2022 08:00:00",
              "PTO Engaged at 08:00:00 with an odometer of 1000 and fuel "
              "count 50");
  block.Event("15/06/2022 08:05:00", "Periodic report");
  block.Event("15/06/2022 08:30:00",
              "PTO Disengaged at 08:30:00 with an odometer of 1012 and fuel "
              "count 57");
  block.Event("15/06/2022 09:00:00", "PTO 00:10:00 Manual");
  const ToolResult result = Run(block.Build("\r\n"));
  EXPECT_EQ(result.exit_code, 0);
  const std::vector<std::string> columns = {
      "TRK 12",               // 1 unit label
      "Unknown",              // 2 unit name
      "Depot",                // 3 start of the first segment
      "Landfill",             // 4 end of the last segment
      "15/06/2022 06:00:00",  // 5
      "15/06/2022 12:00:00",  // 6
      "02:15:30",             // 7 total time a
      "7",                    // 8 total count b
      "00:21:00",             // 9 total time b
      "54",                   // 10 header line 159
      "00:15:00",             // 11 total time c
      "27",                   // 12 header line 152
      "42",                   // 13 total count a
      "0",                    // 14
      "7",                    // 15 PTO fuel
      "12",                   // 16 PTO distance
      "00:40:00",             // 17 PTO time
      "D0412",                // 18 header line 11
      "Hughes",               // 19 header line 10
      "Early",                // 20 header line 9
      "150",                  // 21 header line 13
      "240",                  // 22 grid rows 0-3
      "420",                  // 23 grid rows 4-10 (mode 107)
      "120",                  // 24 grid rows 11-12
      "8",                    // 25 header line 149
      "0",                    // 26 header line 150
      "1",                    // 27 header line 151
      "0042",                 // 28 unit number
  };
  std::string expected;
  for (const std::string& column : columns) {
    expected += (expected.empty() ? "" : ",") + column;
  }
  EXPECT_EQ(Out("Shift/15062022/Combined.csv"), expected + "\n");
}

TEST_F(ReportsTest, BlockWithoutSegmentsStillWritesItsShiftLine) {
  BlockBuilder block;
  block.Unit("TRK1", "1").Date("15/06/2022").Admin("Admin 0");
  Run(block.Build());
  EXPECT_EQ(Out("Shift/15062022/Combined.csv"),
            "TRK1,Unknown,,,,,00:00:00,0,00:00:00,,00:00:00,,0,0,0,0,00:00:00,"
            ",,,,0,0,0,,,,1\n");
}

// Rules that reading each block as it goes by must keep: a block without
// segments shows no start or end, not the previous block's; a segment cut
// short by the end of input is still counted and written; a large block's
// DHE lines stay in order.
TEST_F(ReportsTest, SegmentsReadAsTheyGoByKeepTheirBlocksResults) {
  BlockBuilder first;
  first.Unit("TRK1", "1").Date("15/06/2022");
  first.Segment({{5, "2"}, {33, "Depot"}, {35, "15/06/2022 07:00:00"}});
  first.Segment({{34, "Quarry"}, {36, "15/06/2022 15:00:00"}});
  BlockBuilder second;
  second.Unit("TRK2", "2").Date("15/06/2022").Admin("Admin 0");
  BlockBuilder cut;
  cut.Unit("TRK3", "3").Date("15/06/2022");
  cut.Segment({{5, "4"}, {11, "15/06/2022"}, {12, "07:00:00"}});
  cut.Segment({{5, "5"}, {11, "16/06/2022"}, {12, "08:00:00"}});
  std::string text = BuildExport({first, second, cut});
  text.resize(text.rfind("16/06/2022") + 5);  // inside line 11
  Run(text);
  const std::string summary = Out("Shift/15062022/Combined.csv");
  EXPECT_NE(summary.find("TRK1,Unknown,Depot,Quarry,15/06/2022 07:00:00,"
                         "15/06/2022 15:00:00,00:00:00,2,"),
            std::string::npos);
  EXPECT_NE(summary.find("TRK2,Unknown,,,,,00:00:00,0,"), std::string::npos);
  EXPECT_NE(summary.find("TRK3,Unknown,,,,,00:00:00,9,"), std::string::npos);
  EXPECT_EQ(Out("dhe/3.rep"), "15/06/2022,07:00:00 TRK3\n16/06, TRK3\n");

  BlockBuilder large;
  large.Unit("TRK4", "4").Date("15/06/2022");
  std::string expected;
  for (int i = 0; i < 3000; ++i) {
    const std::string time = std::to_string(100000 + i);
    large.Segment({{11, "15/06/2022"}, {12, time}});
    expected += "15/06/2022," + time + " TRK4\n";
  }
  Run(large.Build());
  EXPECT_EQ(Out("dhe/4.rep"), expected);
}

// The date folder of a node row is read from the timestamp as stored, while
// the row shows it cut at line end.
TEST_F(ReportsTest, NodeDateFolderComesFromTheStampAsStored) {
  BlockBuilder block;
  block.Unit("TRK1", "42").Date("15/06/2022").Segment();
  block.Event("15/06\r2022 07:10:00", "Location Depot -> Quarry");
  Run(block.Build());
  EXPECT_EQ(Out("Node/TRK1/15062022.csv"),
            "Depot,Exit,15/06,,42\nQuarry,Enter,15/06,,42\n");
}

TEST_F(ReportsTest, BlocksOfOneDateAndLaterRunsAppendToOneFile) {
  std::vector<BlockBuilder> blocks(2);
  blocks[0].Unit("TRK1", "1").Date("01.02.2022").Segment();
  blocks[1].Unit("TRK2", "2").Date("01.02.2022").Segment();
  ASSERT_EQ(Run(BuildExport(blocks)).exit_code, 0);
  ASSERT_EQ(RunTool(work_).exit_code, 0);
  const std::string summary = Out("Shift/01022022/Combined.csv");
  EXPECT_EQ(std::count(summary.begin(), summary.end(), '\n'), 4);
  EXPECT_TRUE(summary.starts_with("TRK1,"));
  EXPECT_NE(summary.find("\nTRK2,"), std::string::npos);
  EXPECT_EQ(Out("dhe/1.rep"), ", TRK1\n, TRK1\n");
}

TEST_F(ReportsTest, OutputRootIsARawPrefix) {
  BlockBuilder block;
  block.Unit("TRK1", "1").Date("01.02.2022").Segment();
  WriteFile(work_ / "sqlline.txt", block.Build());
  std::filesystem::create_directories(work_ / "reports");

  WriteFile(work_ / "tallora.ini", "reports\\\r\n");
  ASSERT_EQ(RunTool(work_).exit_code, 0);
  EXPECT_TRUE(std::filesystem::exists(work_ / "reports" / "Shift" / "01022022" /
                                      "Combined.csv"));

  WriteFile(work_ / "tallora.ini", "reports\r\n");
  ASSERT_EQ(RunTool(work_).exit_code, 0);
  EXPECT_TRUE(std::filesystem::exists(work_ / "reportsShift" / "01022022" /
                                      "Combined.csv"));
  EXPECT_TRUE(std::filesystem::exists(work_ / "reportsNode" / "TRK1"));
}

TEST_F(ReportsTest, EmptyRootWritesIntoTheWorkingFolder) {
  BlockBuilder block;
  block.Unit("TRK1", "1").Date("01.02.2022").Segment();
  WriteFile(work_ / "sqlline.txt", block.Build());
  ASSERT_EQ(RunTool(work_).exit_code, 0);
  EXPECT_EQ(ListTree(work_),
            (std::vector<std::string>{
                "Node/", "Node/TRK1/", "Shift/", "Shift/01022022/",
                "Shift/01022022/Combined.csv", "sqlline.txt"}));
}

}  // namespace
}  // namespace tallora::testing
