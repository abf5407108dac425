// Whole runs on hostile exports: each must end on its own with status 0 or 1,
// write nothing outside the output root, and stay within bounded memory.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "support/export_builder.h"
#include "support/temp_dir.h"
#include "support/tool_runner.h"

namespace tallora::testing {
namespace {

constexpr std::uint64_t kAddressSpace = std::uint64_t{256} << 20;

RunLimits BoundedMemory() {
  RunLimits limits;
  if (CanLimitAddressSpace()) {
    limits.address_space = kAddressSpace;
  }
  return limits;
}

// A folder "run" holding the settings (root out\) and the output root with
// its dhe folder; the export is left to the test.
std::filesystem::path PrepareRun(const TempDir& dir) {
  const auto work = dir / "run";
  WriteFile(work / "tallora.ini", "out\\\r\n");
  std::filesystem::create_directories(work / "out" / "dhe");
  return work;
}

// Checks what every run must give, whatever its input.
void ExpectSoundEnd(const TempDir& dir, const ToolResult& result) {
  EXPECT_TRUE(result.exit_code == 0 || result.exit_code == 1)
      << "exit code " << result.exit_code << ", signal " << result.signal
      << "\n"
      << result.diagnostics.substr(0, 2000);
  EXPECT_EQ(result.exit_code == 1, !result.diagnostics.empty());
  EXPECT_EQ(result.diagnostics.find("out of memory"), std::string::npos);
  for (const std::string& entry : ListTree(dir.path())) {
    const bool allowed = entry == "run/" || entry == "run/sqlline.txt" ||
                         entry == "run/tallora.ini" ||
                         entry.starts_with("run/out/");
    EXPECT_TRUE(allowed) << "written outside the output root: " << entry;
  }
  std::string_view lines = result.diagnostics;
  while (!lines.empty()) {
    const std::string_view line = lines.substr(0, lines.find('\n'));
    EXPECT_TRUE(line.starts_with("tallora: ")) << "not one line: " << line;
    lines.remove_prefix(std::min(lines.size(), line.size() + 1));
  }
}

ToolResult RunOn(const TempDir& dir, std::string_view export_bytes) {
  const auto work = PrepareRun(dir);
  WriteFile(work / "sqlline.txt", export_bytes);
  return RunTool(work, BoundedMemory());
}

std::string RandomBytes(std::size_t size, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) {
    c = static_cast<char>(random() & 0xFF);
  }
  return bytes;
}

// Random bytes with a marker line every `every` bytes, so that blocks of
// random content are read and written out.
std::string RandomBlocks(std::size_t size, std::size_t every,
                         std::uint32_t seed) {
  std::string bytes = RandomBytes(size, seed);
  for (std::size_t at = 0; at + 12 < size; at += every) {
    bytes.replace(at, 12, "\ntripheader\n");
  }
  return bytes;
}

// A well-formed block with something for every writer.
BlockBuilder FullBlock(std::string label, std::string date) {
  BlockBuilder block;
  block.Unit(std::move(label), "42")
      .Date(date)
      .Header(GridLine(0, 0), "01:00:00")
      .Segment({{11, date}, {12, "07:00:00"}, {33, "Depot"}, {34, "Quarry"}})
      .Segment({{11, date}, {12, "13:30:00"}, {35, date + " 13:30:00"}})
      .Event(date + " 07:00:00", "Route North")
      .Event(date + " 07:10:00", "Location Depot -> Quarry")
      .Event(date + " 08:00:00",
             "PTO Engaged at X with an odometer of 100 and fuel count 7")
      .Event(date + " 09:00:00",
             "PTO Disengaged at X with an odometer of 130 and fuel count 9");
  return block;
}

// Every line of `text` with a NUL byte after its first character.
std::string WithNulInEveryLine(std::string_view text) {
  std::string out;
  bool line_start = true;
  for (const char c : text) {
    out += c;
    if (line_start && c != '\n') {
      out += '\0';
    }
    line_start = c == '\n';
  }
  return out;
}

TEST(BadInput, EveryRunEndsInsideTheOutputRoot) {
  const std::string block = FullBlock("TRK1", "15/06/2022").Build();
  BlockBuilder huge_count = FullBlock("TRK2", "16/06/2022");
  huge_count.Admin("Admin 2000000000");
  const struct Case {
    const char* name;
    std::string bytes;
  } kCases[] = {
      {"empty file", ""},
      {"random bytes", RandomBytes(3 << 20, 20220615)},
      {"random blocks", RandomBlocks(3 << 20, 4096, 11)},
      {"random bytes after a whole block", block + RandomBytes(1 << 20, 7)},
      {"CR-only line ends", BuildExport({FullBlock("TRK1", "15/06/2022"),
                                         FullBlock("TRK2", "16/06/2022")},
                                        "\r")},
      {"NUL in every field", WithNulInEveryLine(block)},
      {"NUL only", std::string(100000, '\0')},
      {"event count 2000000000 near the end", block + huge_count.Build()},
      {"event count 2000000000 at the very end",
       block.substr(0, block.rfind("Admin")) + "Admin 2000000000\n"},
      {"marker line and nothing after it", "tripheader\n"},
      {"marker line without line end", "tripheader"},
      {"marker line with CR LF and nothing after it", "tripheader\r\n"},
      {"markers only", std::string(200000, 'x').replace(0, 6, "trash\n")},
      {"lines at every read limit",
       [] {
         std::string text;
         for (int limit : {10, 20, 25, 30, 40, 80, 100, 300, 2000}) {
           text += "tripheader\n" + std::string(limit - 2, 'a') + "\n" +
                   std::string(limit - 1, 'b') + "\n" +
                   std::string(limit, 'c') + "\n";
         }
         return text;
       }()},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    ExpectSoundEnd(dir, RunOn(dir, c.bytes));
  }
}

// The line numbers, counted from 0 at the marker line, that start each part
// of FullBlock's layout: header, header fields with unusual read limits,
// segments, admin line and events.
std::vector<std::size_t> SectionStarts() {
  constexpr std::size_t kHeaderEnd = 208;  // marker and 207 header lines
  constexpr std::size_t kSegment = 37;
  return {1,
          kUnitLabelLine,
          GridLine(0, 0),
          160,
          164,
          201,
          kModeCodeLine,
          kHeaderEnd,
          kHeaderEnd + 1,
          kHeaderEnd + 11,
          kHeaderEnd + 33,
          kHeaderEnd + kSegment,
          kHeaderEnd + 2 * kSegment,
          kHeaderEnd + 2 * kSegment + 1,
          kHeaderEnd + 2 * kSegment + 2,
          kHeaderEnd + 2 * kSegment + 3,
          kHeaderEnd + 2 * kSegment + 8};
}

// The offset where line `line` of `text` starts.
std::size_t LineStart(std::string_view text, std::size_t line) {
  std::size_t offset = 0;
  for (std::size_t i = 0; i < line && offset < text.size(); ++i) {
    offset = text.find('\n', offset) + 1;
  }
  return offset;
}

TEST(BadInput, BlocksCutAtEverySectionBoundaryEndSoundly) {
  const std::string block = FullBlock("TRK1", "15/06/2022").Build("\r\n");
  const std::string next = FullBlock("TRK2", "16/06/2022").Build("\r\n");
  for (const std::size_t line : SectionStarts()) {
    const std::size_t start = LineStart(block, line);
    ASSERT_LT(start, block.size());
    // At the boundary itself, and in the middle of the line before it (its
    // carriage return kept, its line feed lost).
    for (const std::size_t cut : {start, start - 1}) {
      for (const bool followed : {false, true}) {
        SCOPED_TRACE("line " + std::to_string(line) + ", offset " +
                     std::to_string(cut) +
                     (followed ? ", whole block after" : ", end of input"));
        TempDir dir;
        ExpectSoundEnd(
            dir, RunOn(dir, block.substr(0, cut) + (followed ? next : "")));
      }
    }
  }
}

// A block is read as it goes by: however many events or segments it has,
// the run needs no more memory than for a small one. Both blocks below took
// several times this limit when a block was held whole.
TEST(BadInput, HugeBlocksRunInBoundedMemory) {
  if (!CanLimitAddressSpace()) {
    GTEST_SKIP() << "no address-space limit for this build of the tool";
  }
  BlockBuilder events = FullBlock("TRK1", "15/06/2022");
  for (int i = 0; i < 600000; ++i) {
    events.Event("15/06/2022 07:00:00",
                 i % 2 == 0 ? "Location Depot -> Quarry" : "Ignition on");
  }
  BlockBuilder segments = FullBlock("TRK2", "15/06/2022");
  for (int i = 0; i < 100000; ++i) {
    segments.Segment({{5, "1"}, {6, "00:00:01"}, {11, "15/06/2022"}});
  }
  for (const BlockBuilder* block : {&events, &segments}) {
    TempDir dir;
    const auto work = PrepareRun(dir);
    WriteFile(work / "sqlline.txt", block->Build());
    RunLimits limits;
    limits.address_space = std::uint64_t{24} << 20;
    const ToolResult result = RunTool(work, limits);
    EXPECT_EQ(result.exit_code, 0) << result.diagnostics;
    std::filesystem::remove(work / "sqlline.txt");
    ExpectSoundEnd(dir, result);
  }
}

// A settings file that opens but cannot be read used to pass for an empty
// one: the reports silently went to the working folder with status 0.
TEST(BadInput, UnreadableSettingsOrExportIsReported) {
  if (RunsWindowsBuild()) {
    GTEST_SKIP() << "a folder opens as a file only on POSIX";
  }
  const struct Case {
    const char* name;
    const char* folder_in_place;
    const char* diagnostic;
  } kCases[] = {
      {"settings file is a folder", "tallora.ini",
       "tallora: read error, output root taken as empty: tallora.ini: "},
      {"export is a folder", "sqlline.txt",
       "tallora: read error, input ends here: sqlline.txt: "},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const auto work = dir / "run";
    WriteFile(work / "tallora.ini", "out\\\n");
    WriteFile(work / "sqlline.txt", FullBlock("TRK1", "15/06/2022").Build());
    std::filesystem::create_directories(work / "out");
    std::filesystem::remove(work / c.folder_in_place);
    std::filesystem::create_directories(work / c.folder_in_place);
    const ToolResult result = RunTool(work, BoundedMemory());
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_TRUE(result.diagnostics.starts_with(c.diagnostic))
        << result.diagnostics;
  }
}

// 200 MB without a line feed: every read stops at its limit, so the export
// splits into lines of read-limit size; the run must stream through it.
TEST(BadInput, HugeExportWithoutLineFeedEndsInBoundedMemory) {
  TempDir dir;
  const auto work = PrepareRun(dir);
  {
    std::string chunk = RandomBytes(1 << 20, 99);
    for (char& c : chunk) {
      if (c == '\n') {
        c = ' ';
      }
    }
    std::ofstream out(work / "sqlline.txt", std::ios::binary);
    for (int i = 0; i < 200; ++i) {
      out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    }
    ASSERT_TRUE(out.flush());
  }
  const ToolResult result = RunTool(work, BoundedMemory());
  std::filesystem::remove(work / "sqlline.txt");
  ExpectSoundEnd(dir, result);
}

}  // namespace
}  // namespace tallora::testing
