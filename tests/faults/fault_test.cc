// Whole runs of the tool under real faults: a disk that fills up, a
// file-size limit, interrupts and kills at random moments, two runs at once
// on one output root, a DHE file that cannot be made. Whatever happens, no
// report file may end in part of a line, no line may be glued to another,
// every loss must be named, and a block whose summary line is on disk must
// be complete in every file. Cases the machine cannot stage (no root, no
// mount) are skipped with the reason.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "support/report_tree.h"
#include "support/temp_dir.h"
#include "support/tool_runner.h"
#include "tools/export_gen.h"

namespace tallora::testing {
namespace {

namespace fs = std::filesystem;

// A working folder `work` with the export, the root out\ and its dhe folder.
void Prepare(const fs::path& work, const std::string& export_text,
             const std::string& settings = "out\\\n") {
  WriteFile(work / "sqlline.txt", export_text);
  WriteFile(work / "tallora.ini", settings);
  fs::create_directories(work / "out" / "dhe");
}

Tree OutTree(const fs::path& work) {
  return Files(work / "out");
}

// The report tree of a clean run on `export_text`.
Tree Reference(const std::string& export_text) {
  TempDir dir;
  const fs::path work = dir / "run";
  Prepare(work, export_text);
  const ToolResult result = RunTool(work);
  EXPECT_EQ(result.exit_code, 0) << result.diagnostics;
  return OutTree(work);
}

std::size_t LineCount(const Tree& tree) {
  std::size_t lines = 0;
  for (const auto& [path, bytes] : tree) {
    lines += Lines(bytes).size();
  }
  return lines;
}

// The lines the diagnostics say were lost.
std::size_t LinesReportedLost(const std::string& diagnostics) {
  std::size_t lost = 0;
  for (const std::string& line : Lines(diagnostics)) {
    const std::size_t at = line.find(" lost");
    const std::size_t count = line.rfind(", ", at);
    if (at != std::string::npos && count != std::string::npos) {
      lost += std::strtoul(line.c_str() + count + 2, nullptr, 10);
    }
  }
  return lost;
}

void ExpectWholeLines(const Tree& tree) {
  for (const auto& [path, bytes] : tree) {
    EXPECT_TRUE(bytes.empty() || bytes.ends_with('\n')) << path;
  }
}

// True iff the lines of `part` appear in `whole` in the same order.
bool IsSubsequence(const std::vector<std::string>& part,
                   const std::vector<std::string>& whole) {
  std::size_t next = 0;
  for (const std::string& line : part) {
    while (next < whole.size() && whole[next] != line) {
      ++next;
    }
    if (next == whole.size()) {
      return false;
    }
    ++next;
  }
  return true;
}

// Runs `command` through the shell; true iff it succeeded.
bool Shell(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

bool CanMount() {
  return ::geteuid() == 0 && !RunsWindowsBuild();
}

// All blocks on one date, so that all summary lines go to one file, in
// block order.
ExportShape OneDate(std::uint64_t seed) {
  ExportShape shape;
  shape.seed = seed;
  shape.dates = 1;
  return shape;
}

TEST(Faults, FullDiskLosesWholeLinesOnlyNamesEveryLossAndRecovers) {
  if (!CanMount()) {
    GTEST_SKIP() << "needs root to mount a small tmpfs";
  }
  const std::string export_text =
      GenerateExport({ExportMix::kTypical, 21}, 400);
  const Tree reference = Reference(export_text);
  std::uint64_t pages = 0;
  for (const auto& [path, bytes] : reference) {
    pages += (bytes.size() + 4095) / 4096;
  }

  TempDir dir;
  const fs::path work = dir / "run";
  fs::create_directories(work / "out");
  const std::string out = (work / "out").string();
  ASSERT_TRUE(Shell("mount -t tmpfs -o size=" + std::to_string(pages * 2) +
                    "k tmpfs '" + out + "'"))
      << "mount failed";
  Prepare(work, export_text);
  const ToolResult full = RunTool(work);
  const Tree after_full = OutTree(work);
  ASSERT_TRUE(Shell("mount -o remount,size=64m '" + out + "'"));
  const ToolResult freed = RunTool(work);
  const Tree after_freed = OutTree(work);
  Shell("umount '" + out + "'");

  EXPECT_EQ(full.exit_code, 1);
  EXPECT_NE(full.diagnostics.find("No space left on device"),
            std::string::npos);
  ExpectWholeLines(after_full);
  for (const auto& [path, bytes] : after_full) {
    EXPECT_TRUE(IsSubsequence(Lines(bytes), Lines(reference.at(path)))) << path;
  }
  EXPECT_EQ(LineCount(after_full) + LinesReportedLost(full.diagnostics),
            LineCount(reference));

  EXPECT_EQ(freed.exit_code, 0) << freed.diagnostics;
  for (const auto& [path, bytes] : reference) {
    const auto before = after_full.find(path);
    EXPECT_EQ(after_freed.at(path),
              (before == after_full.end() ? "" : before->second) + bytes)
        << path;
  }
}

TEST(Faults, FileSizeLimitIsReportedAndLosesWholeLinesOnly) {
  if (RunsWindowsBuild()) {
    GTEST_SKIP() << "POSIX file-size limit";
  }
  const std::string export_text = GenerateExport(OneDate(22), 300);
  const Tree reference = Reference(export_text);
  TempDir dir;
  const fs::path work = dir / "run";
  Prepare(work, export_text);
  RunLimits limits;
  limits.file_size = 16 * 1024;
  const ToolResult result = RunTool(work, limits);
  const Tree after = OutTree(work);
  EXPECT_EQ(result.signal, 0);
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_NE(result.diagnostics.find("File too large"), std::string::npos);
  ExpectWholeLines(after);
  EXPECT_EQ(LineCount(after) + LinesReportedLost(result.diagnostics),
            LineCount(reference));
}

// References of the first `blocks` blocks of an export, made once each.
class PrefixReferences {
 public:
  PrefixReferences(const ExportShape& shape, std::uint64_t blocks,
                   const Tree& whole)
      : shape_(shape) {
    trees_.emplace(blocks, whole);
  }
  const Tree& Of(std::uint64_t blocks) {
    auto found = trees_.find(blocks);
    if (found == trees_.end()) {
      found = trees_.emplace(blocks, Reference(GenerateExport(shape_, blocks)))
                  .first;
    }
    return found->second;
  }

 private:
  ExportShape shape_;
  std::map<std::uint64_t, Tree> trees_;
};

// Complete summary lines of the one date of a OneDate export.
std::uint64_t SummaryLines(const Tree& tree) {
  const auto summary = tree.find("Shift/06062022/Combined.csv");
  if (summary == tree.end()) {
    return 0;
  }
  const std::string& bytes = summary->second;
  return static_cast<std::uint64_t>(
      std::count(bytes.begin(), bytes.end(), '\n'));
}

// Blocks of the exports that runs are interrupted in: enough for a run to
// take a while.
constexpr std::uint64_t kBlocks = 6000;

// An export, its clean run's report tree, and the time that run took.
struct Timed {
  std::string export_text;
  Tree reference;
  std::chrono::microseconds run_time;
};

Timed TimedExport(const ExportShape& shape, std::uint64_t blocks) {
  Timed timed;
  timed.export_text = GenerateExport(shape, blocks);
  TempDir dir;
  const fs::path work = dir / "run";
  Prepare(work, timed.export_text);
  RunningTool tool(work);
  EXPECT_TRUE(tool.WaitForConsole());
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(tool.Wait().exit_code, 0);
  timed.run_time = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - start);
  timed.reference = OutTree(work);
  return timed;
}

// A moment within a clean run's time from its first console line.
std::chrono::microseconds RandomMoment(const Timed& timed,
                                       std::mt19937* random) {
  return std::chrono::microseconds(
      (*random)() % static_cast<std::uint64_t>(timed.run_time.count() + 1));
}

TEST(Faults, InterruptEndsAfterABlockWithEverythingReadWritten) {
  if (RunsWindowsBuild()) {
    GTEST_SKIP() << "POSIX signals";
  }
  const ExportShape shape = OneDate(23);
  const Timed timed = TimedExport(shape, kBlocks);
  PrefixReferences prefixes(shape, kBlocks, timed.reference);
  std::mt19937 random(23);
  int stopped_early = 0;
  for (int trial = 0; trial < 24; ++trial) {
    SCOPED_TRACE(trial);
    const bool twice = trial % 4 == 3;
    const int signal_number = trial % 2 == 0 ? SIGINT : SIGTERM;
    TempDir dir;
    const fs::path work = dir / "run";
    Prepare(work, timed.export_text);
    RunningTool tool(work);
    ASSERT_TRUE(tool.WaitForConsole());  // its handlers are set
    std::this_thread::sleep_for(RandomMoment(timed, &random));
    tool.Signal(signal_number);
    if (twice) {
      tool.Signal(signal_number);
    }
    const ToolResult result = tool.Wait();
    const Tree after = OutTree(work);
    ASSERT_EQ(result.signal, 0);
    if (after == timed.reference) {
      // The run had read everything when the signal came, at its final
      // wait at the latest.
      EXPECT_TRUE(result.exit_code == 0 || result.exit_code == 130);
      continue;
    }
    ++stopped_early;
    EXPECT_EQ(result.exit_code, 130) << result.diagnostics;
    EXPECT_NE(result.diagnostics.find("tallora: interrupted"),
              std::string::npos);
    EXPECT_EQ(result.console.find("Beware Witchcraft!!\n"), 0u);
    ExpectWholeLines(after);
    const std::uint64_t blocks = SummaryLines(after);
    if (!twice) {
      EXPECT_EQ(after, prefixes.Of(blocks)) << blocks << " blocks";
      continue;
    }
    // The block cut short is written as read: every block before it is
    // whole.
    for (const auto& [path, bytes] :
         prefixes.Of(blocks == 0 ? 0 : blocks - 1)) {
      EXPECT_TRUE(after.contains(path) && after.at(path).starts_with(bytes))
          << path;
    }
  }
  EXPECT_GE(stopped_early, 8);
}

TEST(Faults, KillThenRerunGluesNoLineAndKeepsSummarisedBlocksWhole) {
  if (RunsWindowsBuild()) {
    GTEST_SKIP() << "POSIX signals";
  }
  const ExportShape shape = OneDate(24);
  const Timed timed = TimedExport(shape, kBlocks);
  PrefixReferences prefixes(shape, kBlocks, timed.reference);
  std::mt19937 random(24);
  for (int trial = 0; trial < 12; ++trial) {
    SCOPED_TRACE(trial);
    TempDir dir;
    const fs::path work = dir / "run";
    Prepare(work, timed.export_text);
    {
      RunningTool tool(work);
      ASSERT_TRUE(tool.WaitForConsole());
      std::this_thread::sleep_for(RandomMoment(timed, &random));
      tool.Signal(SIGKILL);
      tool.Wait();
    }
    const Tree killed = OutTree(work);
    for (const auto& [path, bytes] : killed) {
      EXPECT_TRUE(timed.reference.at(path).starts_with(bytes)) << path;
    }
    for (const auto& [path, bytes] : prefixes.Of(SummaryLines(killed))) {
      if (!path.starts_with("Shift/")) {
        EXPECT_TRUE(killed.at(path).starts_with(bytes)) << path;
      }
    }

    const ToolResult rerun = RunTool(work);
    EXPECT_EQ(rerun.exit_code, 0) << rerun.diagnostics;
    const Tree after = OutTree(work);
    bool mended = false;
    for (const auto& [path, bytes] : timed.reference) {
      std::string before = killed.contains(path) ? killed.at(path) : "";
      if (!before.empty() && !before.ends_with('\n')) {
        before += '\n';
        mended = true;
      }
      EXPECT_EQ(after.at(path), before + bytes) << path;
    }
    EXPECT_EQ(mended, rerun.warnings.find("report files ended in part of a "
                                          "line") != std::string::npos)
        << rerun.warnings;
  }
}

// The export with its unit labels renamed, so that its lines can be told
// from those of the export it was made from.
std::string Relabelled(std::string export_text) {
  const std::map<std::string, std::string> kRenames = {{"\nTRK ", "\nQQA "},
                                                       {"\nVAN ", "\nQQB "},
                                                       {"\nTIP ", "\nQQC "},
                                                       {"\nCRN ", "\nQQD "}};
  for (const auto& [from, to] : kRenames) {
    for (std::size_t at = export_text.find(from); at != std::string::npos;
         at = export_text.find(from, at + to.size())) {
      export_text.replace(at, from.size(), to);
    }
  }
  return export_text;
}

bool IsRelabelled(const std::string& line) {
  return line.find("QQ") != std::string::npos;
}

TEST(Faults, TwoRunsAtOnceOnOneRootInterleaveWholeLinesOnly) {
  const ExportShape shape{ExportMix::kLocationHeavy, 25, 0, 2, false};
  const std::string first_export = GenerateExport(shape, 600);
  const std::string second_export =
      Relabelled(GenerateExport({ExportMix::kLocationHeavy, 26, 0, 2}, 600));
  const Tree first = Reference(first_export);
  const Tree second = Reference(second_export);
  for (const auto& [path, bytes] : first) {
    ASSERT_FALSE(IsRelabelled(bytes)) << path;
  }

  TempDir dir;
  Prepare(dir / "a", first_export, "..\\shared\\\n");
  Prepare(dir / "b", second_export, "..\\shared\\\n");
  fs::create_directories(dir / "shared" / "dhe");
  ToolResult results[2];
  {
    RunningTool a(dir / "a");
    RunningTool b(dir / "b");
    results[0] = a.Wait();
    results[1] = b.Wait();
  }
  for (const ToolResult& result : results) {
    EXPECT_EQ(result.exit_code, 0) << result.diagnostics;
  }
  const Tree shared = Files(dir / "shared");
  std::size_t shared_files = 0;
  for (const auto& [path, bytes] : shared) {
    SCOPED_TRACE(path);
    ASSERT_TRUE(bytes.ends_with('\n'));
    std::string from_first;
    std::string from_second;
    const bool second_only = !first.contains(path);
    shared_files += first.contains(path) && second.contains(path);
    for (const std::string& line : Lines(bytes)) {
      (second_only || IsRelabelled(line) ? from_second : from_first) +=
          line + "\n";
    }
    EXPECT_EQ(from_first, first.contains(path) ? first.at(path) : "");
    EXPECT_EQ(from_second, second.contains(path) ? second.at(path) : "");
  }
  std::size_t expected_files = first.size();
  for (const auto& [path, bytes] : second) {
    expected_files += !first.contains(path);
  }
  EXPECT_EQ(shared.size(), expected_files);
  EXPECT_GT(shared_files, 10u);
}

TEST(Faults, DheFileThatCannotBeMadeIsReported) {
  if (RunsWindowsBuild()) {
    GTEST_SKIP() << "POSIX folders";
  }
  const std::string export_text = GenerateExport({ExportMix::kTypical, 27}, 4);
  const struct Case {
    const char* name;
    bool (*obstacle)(const fs::path& dhe);
    const char* reason;
  } kCases[] = {
      {"folder in the file's place",
       [](const fs::path& dhe) {
         for (const char* unit : {"1", "2", "3", "4"}) {
           fs::create_directories(dhe / (std::string(unit) + ".rep"));
         }
         return true;
       },
       "Is a directory"},
      {"read-only dhe folder",
       [](const fs::path& dhe) {
         if (::geteuid() != 0) {
           fs::permissions(dhe, fs::perms::owner_read | fs::perms::owner_exec);
           return true;
         }
         const std::string d = dhe.string();
         return Shell("mount --bind '" + d + "' '" + d + "'") &&
                Shell("mount -o remount,bind,ro '" + d + "'");
       },
       nullptr},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const fs::path work = dir / "run";
    Prepare(work, export_text);
    const fs::path dhe = work / "out" / "dhe";
    if (!c.obstacle(dhe)) {
      Shell("umount '" + dhe.string() + "'");
      GTEST_SKIP() << "cannot make a read-only bind mount";
    }
    const ToolResult result = RunTool(work);
    Shell("umount '" + dhe.string() + "'");
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_NE(result.diagnostics.find("cannot open"), std::string::npos);
    EXPECT_NE(result.diagnostics.find("dhe/1.rep: "), std::string::npos)
        << result.diagnostics;
    if (c.reason != nullptr) {
      EXPECT_NE(result.diagnostics.find(c.reason), std::string::npos);
    }
  }
}

}  // namespace
}  // namespace tallora::testing
