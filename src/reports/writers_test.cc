// The three report writers against an in-memory file system: the bytes of
// every file, the names refused, and the failures of the files they write.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "compute/node_table.h"
#include "reports/dhe_writer.h"
#include "reports/memory_file_system.h"
#include "reports/node_writer.h"
#include "reports/shift_writer.h"
#include "support/captured_stream.h"

namespace tallora {
namespace {

using testing::CapturedStream;

constexpr char kUnitFile[] = "out/Node/TRK7/15062022.csv";

// The files kept open between commits, and the open-per-append reference:
// the same bytes either way.
constexpr FileMode kModes[] = {FileMode::kKeepOpen, FileMode::kOpenPerAppend};

// What the writers are given of one block.
struct Block {
  BlockHeader header;
  std::vector<std::pair<std::string, std::string>> dhe_texts;  // per segment
  // Each event's timestamp and text as stored, line ends included.
  std::vector<std::pair<std::string, std::string>> events;
  SegmentSpan span;
  SegmentTotals totals;
  PtoTotals pto;
  GridSums grid;
};

// A block with a distinct text or number in every field that is written.
Block Truck() {
  Block b;
  BlockHeader& h = b.header;
  h.unit_label.Assign("TRK7");
  h.unit_number.Assign("0042x");
  h.block_date.Assign("03/04/2021 05:00");
  h.line_9.Assign("L9");
  h.line_10.Assign("L10");
  h.line_11.Assign("L11");
  h.line_13.Assign("L13");
  h.line_149.Assign("L149");
  h.line_150.Assign("L150");
  h.line_151.Assign("L151");
  h.line_152.Assign("L152");
  h.line_159.Assign("L159");
  b.dhe_texts = {{"03/04/2021", "06:00:00"}, {"04/04/2021", "13:30:00"}};
  b.events = {{"15/06/2022 07:00:00\n", "Route North\n"},
              {"15/06/2022 07:10:00\r\n", "Location Depot -> Quarry\r\n"},
              {"16/06/2022 08:00:00\n", "Location Quarry -> Yard\n"},
              {"16/06/2022 09:00:00\n", "Route South\n"}};
  b.span.start_text.Assign("North Gate");
  b.span.end_text.Assign("South Pit");
  b.span.start_stamp.Assign("03/04/2021 06:00:00");
  b.span.end_stamp.Assign("03/04/2021 18:30:00");
  b.span.has_segments = true;
  b.totals.count_a.Assign("123");
  b.totals.count_b.Assign("45");
  b.totals.time_a.Assign("01:11:11");
  b.totals.time_b.Assign("02:22:22");
  b.totals.time_c.Assign("03:33:33");
  b.pto = {.seconds = 3723, .distance = 77, .fuel = -5};
  b.grid = {.sum_1 = 11, .sum_2 = 22, .sum_3 = -33};
  return b;
}

// Folders (their paths ending in '/', mapped to "") and files with their
// bytes.
using Tree = std::map<std::string, std::string>;

Tree TruckTree() {
  return {
      {"out/", ""},
      {"out/Node/", ""},
      {"out/Node/Depot/", ""},
      {"out/Node/Depot/15062022.csv",
       "TRK7,Exit,15/06/2022 07:10:00,South,0042x\n"},
      {"out/Node/Quarry/", ""},
      {"out/Node/Quarry/15062022.csv",
       "TRK7,Enter,15/06/2022 07:10:00,South,0042x\n"},
      {"out/Node/Quarry/16062022.csv",
       "TRK7,Exit,16/06/2022 08:00:00,South,0042x\n"},
      {"out/Node/TRK7/", ""},
      {"out/Node/TRK7/15062022.csv",
       "Depot,Exit,15/06/2022 07:10:00,South,0042x\n"
       "Quarry,Enter,15/06/2022 07:10:00,South,0042x\n"},
      {"out/Node/TRK7/16062022.csv",
       "Quarry,Exit,16/06/2022 08:00:00,South,0042x\n"
       "Yard,Enter,16/06/2022 08:00:00,South,0042x\n"},
      {"out/Node/Yard/", ""},
      {"out/Node/Yard/16062022.csv",
       "TRK7,Enter,16/06/2022 08:00:00,South,0042x\n"},
      {"out/Shift/", ""},
      {"out/Shift/03042021/", ""},
      {"out/Shift/03042021/Combined.csv",
       "TRK7,Unknown,North Gate,South Pit,03/04/2021 06:00:00,03/04/2021 "
       "18:30:00,01:11:11,45,02:22:22,L159,03:33:33,L152,123,0,-5,77,01:02:03,"
       "L11,L10,L9,L13,11,22,-33,L149,L150,L151,0042x\n"},
      {"out/dhe/", ""},
      {"out/dhe/42.rep",
       "03/04/2021,06:00:00 TRK7\n04/04/2021,13:30:00 TRK7\n"},
  };
}

Tree TreeOf(const MemoryFileSystem& fs) {
  Tree tree;
  for (const std::string& path : fs.List()) {
    tree[path] = path.ends_with('/') ? "" : fs.Contents(path);
  }
  return tree;
}

std::string_view CutAtLineEnd(std::string_view stored) {
  return stored.substr(0, stored.find_first_of("\r\n"));
}

// The output root "out/" with its dhe folder, and the diagnostics stream.
struct Output {
  explicit Output(bool dhe_folder = true) {
    int ignored = 0;
    fs.MakeFolder("out", &ignored);
    if (dhe_folder) {
      fs.MakeFolder("out/dhe", &ignored);
    }
  }
  // The diagnostics with '/' for every path separator.
  std::string Errors() const {
    std::string text = stream.Text();
    std::ranges::replace(text, '\\', '/');
    return text;
  }

  MemoryFileSystem fs;
  CapturedStream stream;
  Diagnostics diagnostics{stream.file()};
};

// Writes `blocks` as the run loop does, one commit at the end.
void WriteBlocks(const std::vector<Block>& blocks, FileMode mode, Output* out) {
  CommitLog files(&out->fs, mode, &out->diagnostics);
  const ReportContext context{"out/", &files, &out->diagnostics};
  for (const Block& block : blocks) {
    out->diagnostics.StartBlock();
    DheReport dhe(block.header, context);
    for (const auto& [text_1, text_2] : block.dhe_texts) {
      SegmentRecord segment;
      segment.dhe_text_1 = text_1;
      segment.dhe_text_2 = text_2;
      dhe.Add(segment);
    }
    dhe.Finish();
    NodeTable nodes;
    ReadNotes notes;
    for (const auto& [stamp, text] : block.events) {
      nodes.Add({stamp, CutAtLineEnd(stamp), text, CutAtLineEnd(text)}, &notes);
    }
    WriteNodeFiles(block.header, nodes, context);
    WriteShiftSummary(block.header, block.span, block.totals, block.pto,
                      block.grid, context);
  }
  files.Close();
}

TEST(ReportWriters, WriteEveryFieldInItsColumnAndEveryFileInItsFolder) {
  Block van = Truck();
  van.header.unit_label.Assign("VAN3");
  van.header.unit_number.Assign("0");
  van.dhe_texts.clear();
  van.events.clear();
  van.span = {};
  van.totals = {};
  van.pto = {.seconds = -3600};
  van.grid = {};
  Tree expected = TruckTree();
  // No segments, no events, no DHE number, a PTO time out of range.
  expected["out/Node/VAN3/"] = "";
  expected["out/Shift/03042021/Combined.csv"] +=
      "VAN3,Unknown,,,,,00:00:00,0,00:00:00,L159,00:00:00,L152,0,0,0,0,,L11,"
      "L10,L9,L13,0,0,0,L149,L150,L151,0\n";
  for (const FileMode mode : kModes) {
    SCOPED_TRACE(static_cast<int>(mode));
    Output out;
    WriteBlocks({Truck(), van}, mode, &out);
    EXPECT_EQ(TreeOf(out.fs), expected);
    EXPECT_EQ(out.stream.Text(), "");
  }
}

TEST(DheReport, NamesTheFileByTheLeadingIntegerOfTheUnitNumber) {
  const struct Case {
    const char* unit_number;
    std::size_t segments;
    Tree dhe_files;
  } kCases[] = {
      {"0042x", 1, {{"out/dhe/42.rep", "03/04/2021,06:00:00 TRK7\n"}}},
      {" -7", 0, {{"out/dhe/-7.rep", ""}}},
      {"99999999999",
       1,
       {{"out/dhe/2147483647.rep", "03/04/2021,06:00:00 TRK7\n"}}},
      {"0", 1, {}},
      {"abc", 1, {}},
      {"", 1, {}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.unit_number);
    Block block = Truck();
    block.header.unit_number.Assign(c.unit_number);
    block.dhe_texts.resize(c.segments);
    for (const FileMode mode : kModes) {
      SCOPED_TRACE(static_cast<int>(mode));
      Output out;
      WriteBlocks({block}, mode, &out);
      Tree dhe_files;
      for (const auto& [path, bytes] : TreeOf(out.fs)) {
        if (path.starts_with("out/dhe/") && path != "out/dhe/") {
          dhe_files[path] = bytes;
        }
      }
      EXPECT_EQ(dhe_files, c.dhe_files);
    }
  }
}

TEST(DheReport, KeepsEveryLineOfABlockOfManySegmentsInOrder) {
  Block block = Truck();
  block.dhe_texts.clear();
  std::string expected;
  for (int i = 0; i < 10000; ++i) {
    block.dhe_texts.emplace_back(std::to_string(i), "t");
    expected += std::to_string(i) + ",t TRK7\n";
  }
  Output out;
  WriteBlocks({block}, FileMode::kKeepOpen, &out);
  EXPECT_EQ(out.fs.Contents("out/dhe/42.rep"), expected);
}

TEST(ReportWriters, UnusableNameIsReportedOncePerBlockAndOnlyItsFilesSkipped) {
  enum Site { kUnitLabel, kLocation, kEventDate, kBlockDate };
  const std::vector<std::string> kSkipped[] = {
      {"out/Node/TRK7/", "out/Node/TRK7/15062022.csv",
       "out/Node/TRK7/16062022.csv"},
      {"out/Node/Quarry/", "out/Node/Quarry/15062022.csv",
       "out/Node/Quarry/16062022.csv"},
      {"out/Node/TRK7/16062022.csv", "out/Node/Quarry/16062022.csv",
       "out/Node/Yard/", "out/Node/Yard/16062022.csv"},
      {"out/Shift/03042021/", "out/Shift/03042021/Combined.csv"},
  };
  const struct Case {
    Site site;
    std::string name;
    std::string quoted;
  } kCases[] = {
      {kUnitLabel, "", R"("")"},
      {kUnitLabel, "..", R"("..")"},
      {kUnitLabel, "T/K", R"("T/K")"},
      {kUnitLabel, "T\\K", R"("T\x5CK")"},
      {kUnitLabel, "T\"K", R"("T\x22K")"},
      {kUnitLabel, "T\x01K", R"("T\x01K")"},
      // Quarry is the name of two rows.
      {kLocation, ".", R"(".")"},
      {kLocation, "Q:y", R"("Q:y")"},
      {kLocation, "Q*y", R"("Q*y")"},
      {kLocation, "Q\x1Fy", R"("Q\x1Fy")"},
      // The Exit and Enter rows of one event share the timestamp.
      {kEventDate, "16/06/20?2 08:00:00", R"("16/06/20?2 08:00:00")"},
      {kEventDate, "16/0</2022 08:00:00", R"("16/0</2022 08:00:00")"},
      {kEventDate, "16/06/202", R"("16/06/202")"},
      {kBlockDate, "03/04/20>1", R"("03/04/20>1")"},
      {kBlockDate, "03/0|/2021", R"("03/0|/2021")"},
      {kBlockDate, "03/04", R"("03/04")"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.quoted);
    Block block = Truck();
    switch (c.site) {
      case kUnitLabel:
        block.header.unit_label.Assign(c.name);
        break;
      case kLocation:
        block.events[1].second = "Location Depot -> " + c.name + "\r\n";
        block.events[2].second = "Location " + c.name + " -> Yard\n";
        break;
      case kEventDate:
        block.events[2].first = c.name + "\n";
        break;
      case kBlockDate:
        block.header.block_date.Assign(c.name);
        break;
    }
    std::vector<std::string> expected;
    for (const auto& [path, unused] : TruckTree()) {
      if (std::ranges::find(kSkipped[c.site], path) == kSkipped[c.site].end()) {
        expected.push_back(path);
      }
    }
    const std::string line =
        "tallora: unusable folder or file name, not written: " + c.quoted +
        "\n";
    for (const FileMode mode : kModes) {
      SCOPED_TRACE(static_cast<int>(mode));
      Output out;
      WriteBlocks({block, block}, mode, &out);
      EXPECT_EQ(out.fs.List(), expected);
      EXPECT_EQ(out.stream.Text(), line + line);
    }
  }
}

TEST(ReportWriters, FileFailureIsReportedAndSparesEveryOtherFile) {
  const struct Case {
    const char* name;
    void (*obstacle)(MemoryFileSystem*);
    std::string diagnostics;
    // Paths whose entry differs from a clean run's; nullopt: not there.
    std::map<std::string, std::optional<std::string>> changes;
    bool dhe_folder = true;
  } kCases[] = {
      {"date folder cannot be made",
       [](MemoryFileSystem* fs) {
         fs->FailMakeFolder("out/Shift/03042021", ENOSPC);
       },
       "tallora: cannot open, 1 line lost: out/Shift/03042021/Combined.csv: "
       "cannot make folder out/Shift/03042021: No space left on device\n",
       {{"out/Shift/03042021/", std::nullopt},
        {"out/Shift/03042021/Combined.csv", std::nullopt}}},
      {"unit folder cannot be made",
       [](MemoryFileSystem* fs) {
         fs->FailMakeFolder("out/Node/TRK7", EACCES);
       },
       "tallora: cannot open, 2 lines lost: out/Node/TRK7/15062022.csv: "
       "cannot make folder out/Node/TRK7: Permission denied\n"
       "tallora: cannot open, 2 lines lost: out/Node/TRK7/16062022.csv: "
       "cannot make folder out/Node/TRK7: Permission denied\n",
       {{"out/Node/TRK7/", std::nullopt},
        {"out/Node/TRK7/15062022.csv", std::nullopt},
        {"out/Node/TRK7/16062022.csv", std::nullopt}}},
      {"a file in the place of a folder",
       [](MemoryFileSystem* fs) {
         fs->AppendAsAnotherProcess("out/Shift", "x");
       },
       "tallora: cannot open, 1 line lost: out/Shift/03042021/Combined.csv: "
       "Not a directory\n",
       {{"out/Shift", "x"},
        {"out/Shift/", std::nullopt},
        {"out/Shift/03042021/", std::nullopt},
        {"out/Shift/03042021/Combined.csv", std::nullopt}}},
      {"open",
       [](MemoryFileSystem* fs) {
         fs->FailOpen("out/Node/Yard/16062022.csv", EACCES);
       },
       "tallora: cannot open, 1 line lost: out/Node/Yard/16062022.csv: "
       "Permission denied\n",
       {{"out/Node/Yard/16062022.csv", std::nullopt}}},
      {"short write cut back",
       [](MemoryFileSystem* fs) {
         fs->AppendAsAnotherProcess(kUnitFile, "old\n");
         fs->LimitSize(kUnitFile, 50);
       },
       "tallora: write failed, 2 lines lost: out/Node/TRK7/15062022.csv: No "
       "space left on device\n",
       {{kUnitFile, "old\n"}}},
      {"cut back fails",
       [](MemoryFileSystem* fs) {
         fs->AppendAsAnotherProcess(kUnitFile, "old\n");
         fs->LimitSize(kUnitFile, 50);
         fs->FailCutBack(kUnitFile, EINVAL);
       },
       "tallora: write failed, 1 line lost, part of a line left (cannot cut "
       "it off: Invalid argument): out/Node/TRK7/15062022.csv: No space left "
       "on device\n",
       {{kUnitFile, "old\nDepot,Exit,15/06/2022 07:10:00,South,0042x\nQua"}}},
      {"dhe file blocked by a folder",
       [](MemoryFileSystem* fs) {
         int ignored = 0;
         fs->MakeFolder("out/dhe/42.rep", &ignored);
       },
       "tallora: cannot open, 2 lines lost: out/dhe/42.rep: Is a directory\n",
       {{"out/dhe/42.rep", std::nullopt}, {"out/dhe/42.rep/", ""}}},
      {"no dhe folder: DHE reports off",
       [](MemoryFileSystem*) {},
       "",
       {{"out/dhe/", std::nullopt}, {"out/dhe/42.rep", std::nullopt}},
       false},
      {"dhe write",
       [](MemoryFileSystem* fs) { fs->LimitSize("out/dhe/42.rep", 30); },
       "tallora: write failed, 2 lines lost: out/dhe/42.rep: No space left on "
       "device\n",
       {{"out/dhe/42.rep", ""}}},
      {"dhe close",
       [](MemoryFileSystem* fs) { fs->FailClose("out/dhe/42.rep", EIO); },
       "tallora: close failed, lines written may be lost: out/dhe/42.rep: "
       "Input/output error\n",
       {}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Tree expected = TruckTree();
    for (const auto& [path, bytes] : c.changes) {
      if (bytes) {
        expected[path] = *bytes;
      } else {
        expected.erase(path);
      }
    }
    Output out(c.dhe_folder);
    c.obstacle(&out.fs);
    WriteBlocks({Truck()}, FileMode::kKeepOpen, &out);
    EXPECT_EQ(TreeOf(out.fs), expected);
    EXPECT_EQ(out.Errors(), c.diagnostics);
    EXPECT_EQ(out.diagnostics.failed(), !c.diagnostics.empty());
  }
}

}  // namespace
}  // namespace tallora
