// Keeping report files open between appends leaves every file exactly as
// opening, appending and closing per append does.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "run/run_loop.h"
#include "support/export_builder.h"
#include "support/temp_dir.h"
#include "support/tool_runner.h"
#include "tools/export_gen.h"

namespace tallora::testing {
namespace {

// What one run said, besides the files it wrote.
struct RunOutcome {
  int status = -1;
  std::string console;
  std::string diagnostics;
};

std::string ReadBack(std::FILE* file) {
  std::string text;
  std::rewind(file);
  char chunk[4096];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
    text.append(chunk, got);
  }
  std::fclose(file);
  return text;
}

// Report files the keep-open mode may hold open: few, so that files are
// closed to make room and opened again.
constexpr std::size_t kOpenFiles = 16;

// Runs the tool in `folder` within this process, with an empty console
// input so that the final wait ends at once.
RunOutcome RunIn(const std::filesystem::path& folder, FileMode mode) {
  std::error_code error;
  const std::filesystem::path previous = std::filesystem::current_path(error);
  std::filesystem::current_path(folder, error);
  EXPECT_FALSE(error) << folder;
  RunOptions options;
  options.file_mode = mode;
  options.open_files = kOpenFiles;
  options.console_out = std::tmpfile();
  options.diagnostics = std::tmpfile();
  options.console_in = std::tmpfile();
  RunOutcome outcome;
  outcome.status = Run(options);
  outcome.console = ReadBack(options.console_out);
  std::string warnings;
  std::string summary;
  outcome.diagnostics =
      SplitDiagnostics(ReadBack(options.diagnostics), &warnings, &summary);
  std::fclose(options.console_in);
  std::filesystem::current_path(previous, error);
  return outcome;
}

// Writes `export_text` into a fresh folder "run" under `dir`, with the root
// "out\" and its dhe folder, and runs the tool there twice.
RunOutcome RunTwiceOver(const TempDir& dir, const std::string& export_text,
                        FileMode mode) {
  const auto work = dir / "run";
  WriteFile(work / "sqlline.txt", export_text);
  WriteFile(work / "tallora.ini", "out\\\n");
  std::filesystem::create_directories(work / "out" / "dhe");
  RunOutcome first = RunIn(work, mode);
  // A second run appends to every file the first one wrote.
  const RunOutcome second = RunIn(work, mode);
  first.status |= second.status;
  first.console += second.console;
  first.diagnostics += second.diagnostics;
  return first;
}

// A unit whose label is also a place of the generated exports, so that its
// node file is written by the unit's rows and by the place's rows.
std::string UnitNamedAsPlace(std::string_view line_end) {
  BlockBuilder block;
  block.Unit("Depot", "77").Date("06/06/2022").Segment();
  block.Event("06/06/2022 05:00:00", "Route North");
  block.Event("06/06/2022 05:10:00", "Location Depot -> Quarry");
  block.Event("06/06/2022 05:20:00", "Location Quarry -> Depot");
  return block.Build(line_end);
}

// A round trip through more places than files stay open, back to where it
// began: files are closed mid-block with lines still buffered, and the first
// place's file is opened again within the block.
std::string RoundTripThroughManyPlaces(std::string_view line_end) {
  constexpr std::size_t kPlaces = kOpenFiles + 20;
  BlockBuilder block;
  block.Unit("TRK 1", "0001").Date("06/06/2022").Segment();
  block.Event("06/06/2022 04:00:00", "Route Ring");
  for (std::size_t i = 0; i < kPlaces; ++i) {
    const std::string from = "Stop" + std::to_string(i);
    const std::string to = "Stop" + std::to_string((i + 1) % kPlaces);
    block.Event("06/06/2022 04:" + std::to_string(10 + i % 50) + ":00",
                "Location " + from + " -> " + to);
  }
  return block.Build(line_end);
}

TEST(FileModes, KeepOpenWritesTheSameFilesAsOpenPerAppend) {
  // More (unit, date) pairs than blocks, so that files are closed to make
  // room and opened again later in the run.
  const struct Case {
    const char* name;
    ExportShape shape;
    int blocks;
  } kCases[] = {
      {"typical LF", {ExportMix::kTypical, 11, 20, 3, false}, 150},
      {"typical CRLF", {ExportMix::kTypical, 12, 20, 3, true}, 150},
      {"location-heavy LF", {ExportMix::kLocationHeavy, 13, 50, 2, false}, 160},
      {"location-heavy CRLF",
       {ExportMix::kLocationHeavy, 14, 50, 2, true},
       160},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string line_end = c.shape.crlf ? "\r\n" : "\n";
    ExportGenerator generator(c.shape);
    std::string export_text = UnitNamedAsPlace(line_end);
    for (int block = 0; block < c.blocks; ++block) {
      generator.AppendBlock(&export_text);
      if (block == c.blocks / 3) {
        export_text += RoundTripThroughManyPlaces(line_end);
      }
      if (block == c.blocks / 2) {
        export_text += UnitNamedAsPlace(line_end);
      }
    }

    TempDir keep_dir;
    TempDir per_dir;
    const RunOutcome keep =
        RunTwiceOver(keep_dir, export_text, FileMode::kKeepOpen);
    const RunOutcome per =
        RunTwiceOver(per_dir, export_text, FileMode::kOpenPerAppend);
    EXPECT_EQ(keep.status, 0);
    EXPECT_EQ(keep.diagnostics, "");
    EXPECT_EQ(keep.status, per.status);
    EXPECT_EQ(keep.console, per.console);
    EXPECT_EQ(keep.diagnostics, per.diagnostics);

    const auto keep_out = keep_dir / "run" / "out";
    const auto per_out = per_dir / "run" / "out";
    const std::vector<std::string> tree = ListTree(keep_out);
    ASSERT_EQ(tree, ListTree(per_out));
    std::size_t files = 0;
    for (const std::string& entry : tree) {
      if (entry.ends_with('/')) {
        continue;
      }
      ++files;
      const std::string kept = ReadFile(keep_out / entry);
      EXPECT_FALSE(kept.empty()) << entry;
      EXPECT_TRUE(kept == ReadFile(per_out / entry)) << entry;
    }
    EXPECT_GT(files, kOpenFiles);
    EXPECT_TRUE(ReadFile(keep_out / "Node" / "Depot" / "06062022.csv")
                    .starts_with("Depot,Exit,06/06/2022 05:10:00,North,77\n"));
  }
}

TEST(FileModes, FileOfAUnitAndAPlaceGetsTheUnitRowsFirst) {
  const std::string expected =
      "Depot,Exit,06/06/2022 05:10:00,North,77\n"
      "Quarry,Enter,06/06/2022 05:10:00,North,77\n"
      "Quarry,Exit,06/06/2022 05:20:00,North,77\n"
      "Depot,Enter,06/06/2022 05:20:00,North,77\n"
      "Depot,Exit,06/06/2022 05:10:00,North,77\n"
      "Depot,Enter,06/06/2022 05:20:00,North,77\n";
  for (const FileMode mode : {FileMode::kKeepOpen, FileMode::kOpenPerAppend}) {
    SCOPED_TRACE(mode == FileMode::kKeepOpen ? "keep open" : "open per append");
    TempDir dir;
    const RunOutcome outcome = RunTwiceOver(dir, UnitNamedAsPlace("\n"), mode);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(ReadFile(dir / "run" / "out" / "Node" / "Depot" / "06062022.csv"),
              expected + expected);
  }
}

}  // namespace
}  // namespace tallora::testing
