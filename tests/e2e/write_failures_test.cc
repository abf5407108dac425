// Report files that cannot be written: each is named once on standard error,
// the run ends with status 1, and every other file is still written whole.
// The obstacles work for root too: a plain file where a folder must be, a
// folder where a file must be, /dev/full, and a file-size limit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "support/export_builder.h"
#include "support/report_tree.h"
#include "support/temp_dir.h"
#include "support/tool_runner.h"

namespace tallora::testing {
namespace {

namespace fs = std::filesystem;

BlockBuilder Block(std::string label, std::string number, std::string date,
                   std::vector<std::string> moves) {
  BlockBuilder block;
  block.Unit(std::move(label), std::move(number))
      .Date(date)
      .Segment({{11, date}, {12, "07:00:00"}})
      .Segment({{11, date}, {12, "13:30:00"}})
      .Event(date + " 07:00:00", "Route North");
  for (const std::string& move : moves) {
    block.Event(date + " 07:10:00", "Location " + move);
  }
  return block;
}

// Two units on two dates, each with one move between Depot and Quarry.
std::string TwoBlocks() {
  return BuildExport({Block("TRK1", "42", "15/06/2022", {"Depot -> Quarry"}),
                      Block("TRK2", "7", "16/06/2022", {"Quarry -> Depot"})});
}

struct RunOutcome {
  ToolResult result;
  Tree files;
};

// Runs the tool on `export_text` in `dir`/run with `settings`, after
// `obstacle` has been put in place, and reads back every file it left;
// symbolic links are removed first, so that nothing follows them later.
RunOutcome RunWith(const TempDir& dir, std::string_view export_text,
                   std::string_view settings,
                   const std::function<void(const fs::path&)>& obstacle,
                   const RunLimits& limits = {}) {
  const fs::path work = dir / "run";
  WriteFile(work / "sqlline.txt", export_text);
  WriteFile(work / "tallora.ini", settings);
  fs::create_directories(work / "out" / "dhe");
  if (obstacle) {
    obstacle(work);
  }
  RunOutcome run;
  run.result = RunTool(work, limits);
  std::vector<fs::path> links;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(work, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_symlink(ec)) {
      links.push_back(it->path());
    }
  }
  for (const fs::path& link : links) {
    fs::remove(link, ec);
  }
  run.files = Files(work);
  return run;
}

// Checks that each diagnostic names exactly one of `blocked` with the
// reason for `error`, and that each of `blocked` is named exactly once.
void ExpectEachNamedOnce(const ToolResult& result,
                         const std::vector<std::string>& blocked, int error) {
  const std::vector<std::string> lines = Lines(result.diagnostics);
  EXPECT_EQ(lines.size(), blocked.size()) << result.diagnostics;
  for (const std::string& path : blocked) {
    int named = 0;
    for (const std::string& line : lines) {
      named += line.find(": " + path + ": ") != std::string::npos;
    }
    EXPECT_EQ(named, 1) << path << " in\n" << result.diagnostics;
  }
  for (const std::string& line : lines) {
    EXPECT_TRUE(line.starts_with("tallora: ")) << line;
    EXPECT_TRUE(line.ends_with(std::string(": ") + std::strerror(error)))
        << line;
  }
}

void MakeFile(const fs::path& path) {
  WriteFile(path, "in the way\n");
}

TEST(WriteFailures, ObstacleInAReportPathIsNamedAndEverythingElseWritten) {
  if (RunsWindowsBuild()) {
    GTEST_SKIP() << "POSIX file system obstacles";
  }
  const std::string shift_a = "out/Shift/15062022/Combined.csv";
  const std::string shift_b = "out/Shift/16062022/Combined.csv";
  const std::vector<std::string> nodes = {
      "out/Node/TRK1/15062022.csv",   "out/Node/Depot/15062022.csv",
      "out/Node/Quarry/15062022.csv", "out/Node/TRK2/16062022.csv",
      "out/Node/Quarry/16062022.csv", "out/Node/Depot/16062022.csv"};
  const struct Case {
    const char* name;
    std::function<void(const fs::path&)> obstacle;
    std::vector<std::string> blocked;
    int error;
  } kCases[] = {
      {"file named Shift",
       [](const fs::path& w) { MakeFile(w / "out/Shift"); },
       {shift_a, shift_b},
       ENOTDIR},
      {"file named Node", [](const fs::path& w) { MakeFile(w / "out/Node"); },
       nodes, ENOTDIR},
      {"file named after the unit",
       [](const fs::path& w) { MakeFile(w / "out/Node/TRK1"); },
       {nodes[0]},
       ENOTDIR},
      {"file named after a location",
       [](const fs::path& w) { MakeFile(w / "out/Node/Quarry"); },
       {nodes[2], nodes[4]},
       ENOTDIR},
      {"file named after the date",
       [](const fs::path& w) { MakeFile(w / "out/Shift/15062022"); },
       {shift_a},
       ENOTDIR},
      {"folder named Combined.csv",
       [&](const fs::path& w) { fs::create_directories(w / shift_a); },
       {shift_a},
       EISDIR},
      {"summary file leading to a full device",
       [&](const fs::path& w) {
         fs::create_directories(w / "out/Shift/15062022");
         fs::create_symlink("/dev/full", w / shift_a);
       },
       {shift_a},
       ENOSPC},
      // DHE reports are turned off by a dhe folder that cannot be used.
      {"file named dhe",
       [](const fs::path& w) {
         fs::remove(w / "out/dhe");
         MakeFile(w / "out/dhe");
       },
       {},
       0},
  };
  TempDir reference_dir;
  const RunOutcome reference =
      RunWith(reference_dir, TwoBlocks(), "out\\\n", {});
  ASSERT_EQ(reference.result.exit_code, 0) << reference.result.diagnostics;
  ASSERT_EQ(reference.files.count(shift_a), 1u);
  ASSERT_EQ(reference.files.count(nodes[5]), 1u);
  ASSERT_EQ(reference.files.count("out/dhe/42.rep"), 1u);

  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const RunOutcome run = RunWith(dir, TwoBlocks(), "out\\\n", c.obstacle);
    EXPECT_EQ(run.result.exit_code, c.blocked.empty() ? 0 : 1);
    EXPECT_EQ(run.result.console, reference.result.console);
    ExpectEachNamedOnce(run.result, c.blocked, c.error);
    for (const auto& [path, bytes] : reference.files) {
      const bool blocked = std::find(c.blocked.begin(), c.blocked.end(),
                                     path) != c.blocked.end() ||
                           (c.blocked.empty() && path.starts_with("out/dhe/"));
      if (!blocked) {
        const auto found = run.files.find(path);
        ASSERT_NE(found, run.files.end()) << path;
        EXPECT_EQ(found->second, bytes) << path;
      }
    }
  }
}

// A root folder that does not exist is named once, with what to do, not
// once for every report file that cannot be opened in it.
TEST(WriteFailures, MissingOutputRootIsNamedOnce) {
  if (RunsWindowsBuild()) {
    GTEST_SKIP() << "POSIX file system obstacles";
  }
  const struct Case {
    const char* name;
    const char* settings;
    const char* in_the_way;
    const char* folder;
  } kCases[] = {
      {"root is a file", "out\\\n", "out", "out"},
      {"root lies under a file", "blocker\\out\\\n", "blocker", "blocker/out"},
      {"root is missing", "missing\\\n", nullptr, "missing"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const RunOutcome run =
        RunWith(dir, TwoBlocks(), c.settings, [&](const fs::path& w) {
          fs::remove_all(w / "out");
          if (c.in_the_way != nullptr) {
            MakeFile(w / c.in_the_way);
          }
        });
    EXPECT_EQ(run.result.exit_code, 1);
    EXPECT_EQ(
        run.result.diagnostics,
        "tallora: output root folder does not exist: " + std::string(c.folder) +
            ": create it, or correct line 1 of tallora.ini\n");
    EXPECT_EQ(run.files.size(), c.in_the_way == nullptr ? 2u : 3u);
  }
}

// Units TRK10, TRK11, ... one block each, on one date (so that their
// summary lines share one file) or each on its own date.
std::string Blocks(int count, bool same_date) {
  std::vector<BlockBuilder> blocks;
  for (int i = 0; i < count; ++i) {
    const std::string day = std::to_string(same_date ? 15 : 10 + i);
    blocks.push_back(Block("TRK" + std::to_string(10 + i),
                           std::to_string(i + 1), day + "/06/2022", {}));
  }
  return BuildExport(blocks);
}

// One block whose unit file gets one row per move, and each location one.
std::string ManyMoves(int count) {
  std::vector<std::string> moves;
  for (int i = 0; i < count; ++i) {
    moves.push_back("From" + std::to_string(i) + " -> To" + std::to_string(i));
  }
  return BuildExport({Block("TRK1", "42", "15/06/2022", moves)});
}

TEST(WriteFailures, FileSizeLimitHitMidLineLosesWholeLinesOnly) {
  if (RunsWindowsBuild()) {
    GTEST_SKIP() << "POSIX file-size limit";
  }
  constexpr std::size_t kLimit = 1024;
  const std::string kConsole = "standard output";
  const struct Case {
    const char* name;
    std::string export_text;
    std::string blocked;
    int error;
  } kCases[] = {
      // The summary lines of all blocks go out in one write that crosses the
      // limit: the file is cut back to where it was.
      {"summary file", Blocks(13, true), "out/Shift/15062022/Combined.csv",
       EFBIG},
      {"unit node file", ManyMoves(20), "out/Node/TRK1/15062022.csv", EFBIG},
      // The console is held to the limit too: its progress lines are lost.
      {"console", Blocks(30, false), kConsole, EFBIG},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TempDir reference_dir;
    const RunOutcome reference =
        RunWith(reference_dir, c.export_text, "out\\\n", {});
    ASSERT_EQ(reference.result.exit_code, 0);
    const bool console = c.blocked == kConsole;
    const std::string& whole =
        console ? reference.result.console : reference.files.at(c.blocked);
    // The limit must fall inside a line, and no other file may reach it.
    ASSERT_GT(whole.size(), kLimit);
    ASSERT_NE(whole[kLimit - 1], '\n');
    for (const auto& [path, bytes] : reference.files) {
      ASSERT_TRUE(path == c.blocked || !path.starts_with("out/") ||
                  bytes.size() <= kLimit)
          << path;
    }
    if (!console) {
      ASSERT_LE(reference.result.console.size(), kLimit);
    }

    TempDir dir;
    RunLimits limits;
    limits.file_size = kLimit;
    const RunOutcome run = RunWith(dir, c.export_text, "out\\\n", {}, limits);
    EXPECT_EQ(run.result.exit_code, 1);
    ExpectEachNamedOnce(run.result, {c.blocked}, c.error);
    if (console) {
      EXPECT_EQ(run.result.console, whole.substr(0, kLimit));
    } else {
      EXPECT_EQ(run.files.at(c.blocked), "");
      const std::size_t lines = Lines(whole).size();
      EXPECT_NE(run.result.diagnostics.find(
                    "write failed, " + std::to_string(lines) + " lines lost"),
                std::string::npos)
          << run.result.diagnostics;
      EXPECT_EQ(run.result.console, reference.result.console);
    }
    for (const auto& [path, bytes] : reference.files) {
      if (path != c.blocked) {
        EXPECT_EQ(run.files.at(path), bytes) << path;
      }
    }
  }
}

}  // namespace
}  // namespace tallora::testing
