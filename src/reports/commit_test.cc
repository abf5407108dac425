#include "reports/commit.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "reports/memory_file_system.h"
#include "support/captured_stream.h"

namespace tallora {
namespace {

using testing::CapturedStream;

class CommitLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    int ignored = 0;
    fs_.MakeFolder("dhe", &ignored);
  }

  MemoryFileSystem fs_;
  CapturedStream stream_;
  Diagnostics diagnostics_{stream_.file()};
};

TEST_F(CommitLogTest, WritesEachFileOnceAtCommitShiftFilesLast) {
  CommitLog log(&fs_, FileMode::kKeepOpen, &diagnostics_);
  log.Append("shift", FileKind::kShift, "S1\n");
  log.Append("node", FileKind::kNode, "N1\n");
  log.Append("dhe/1.rep", FileKind::kDhe, "D1\n");
  log.Append("shift", FileKind::kShift, "S2\n");
  log.Append("node", FileKind::kNode, "N2\n");
  EXPECT_EQ(fs_.Contents("node"), "");
  EXPECT_EQ(log.pending_bytes(), 15u);
  log.Flush();
  EXPECT_EQ(fs_.writes(),
            (std::vector<std::string>{"node", "dhe/1.rep", "shift"}));
  EXPECT_EQ(fs_.Contents("shift"), "S1\nS2\n");
  EXPECT_EQ(fs_.Contents("node"), "N1\nN2\n");
  EXPECT_EQ(log.pending_bytes(), 0u);
  EXPECT_EQ(stream_.Text(), "");
}

TEST_F(CommitLogTest, PathsToOneFileKeepTheOrderLinesWereMadeIn) {
  // Room for every file, and for one only: a commit then touches more files
  // than can stay open.
  for (const std::size_t open_files : {0, 1}) {
    for (const FileMode mode :
         {FileMode::kKeepOpen, FileMode::kOpenPerAppend}) {
      SCOPED_TRACE(open_files);
      MemoryFileSystem fs;
      fs.Alias("DEPOT", "Depot");
      CommitLog log(&fs, mode, &diagnostics_, open_files);
      for (int commit = 0; commit < 2; ++commit) {
        log.Append("Depot", FileKind::kNode, "1\n");
        log.Append("Quarry", FileKind::kNode, "q\n");
        log.Append("DEPOT", FileKind::kNode, "2\n");
        log.Append("Depot", FileKind::kNode, "3\n");
        log.Commit();
      }
      log.Close();
      EXPECT_EQ(fs.Contents("Depot"), "1\n2\n3\n1\n2\n3\n");
      EXPECT_EQ(fs.Contents("Quarry"), "q\nq\n");
    }
  }
}

TEST_F(CommitLogTest, FileWithNothingToWriteIsStillCreated) {
  CommitLog log(&fs_, FileMode::kKeepOpen, &diagnostics_);
  log.Append("dhe/7.rep", FileKind::kDhe, "");
  log.Flush();
  EXPECT_TRUE(fs_.HasFile("dhe/7.rep"));
}

TEST_F(CommitLogTest, FailuresNameTheFileAndTheLinesLost) {
  const struct Case {
    const char* name;
    const char* path;
    FileKind kind;
    void (*obstacle)(MemoryFileSystem*);
    std::string diagnostics;
  } kCases[] = {
      {"open", "Node/f.csv", FileKind::kNode, [](MemoryFileSystem*) {},
       "tallora: cannot open, 2 lines lost: Node/f.csv: No such file or "
       "directory\n"},
      {"full disk", "f.csv", FileKind::kNode,
       [](MemoryFileSystem* fs) { fs->LimitSize("f.csv", 3); },
       "tallora: write failed, 2 lines lost: f.csv: No space left on "
       "device\n"},
      {"cut back fails", "f.csv", FileKind::kShift,
       [](MemoryFileSystem* fs) {
         fs->LimitSize("f.csv", 5);
         fs->FailCutBack("f.csv", EINVAL);
       },
       "tallora: write failed, 1 line lost, part of a line left (cannot cut "
       "it off: Invalid argument): f.csv: No space left on device\n"},
      {"close", "f.csv", FileKind::kNode,
       [](MemoryFileSystem* fs) { fs->FailClose("f.csv", EIO); },
       "tallora: close failed, lines written may be lost: f.csv: "
       "Input/output error\n"},
      {"dhe file in a dhe folder", "dhe/1.rep", FileKind::kDhe,
       [](MemoryFileSystem* fs) { fs->FailOpen("dhe/1.rep", EACCES); },
       "tallora: cannot open, 2 lines lost: dhe/1.rep: Permission denied\n"},
      {"no dhe folder", "off/1.rep", FileKind::kDhe, [](MemoryFileSystem*) {},
       ""},
      // A warning, counted for the end of the run.
      {"part line mended", "f.csv", FileKind::kNode,
       [](MemoryFileSystem* fs) { fs->AppendAsAnotherProcess("f.csv", "x"); },
       ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    for (const FileMode mode :
         {FileMode::kKeepOpen, FileMode::kOpenPerAppend}) {
      MemoryFileSystem fs;
      int ignored = 0;
      fs.MakeFolder("dhe", &ignored);
      c.obstacle(&fs);
      CapturedStream stream;
      Diagnostics diagnostics(stream.file());
      {
        CommitLog log(&fs, mode, &diagnostics);
        log.Append(c.path, c.kind, "L1\nL2\n");
      }
      EXPECT_EQ(stream.Text(), c.diagnostics);
      EXPECT_EQ(diagnostics.failed(), !c.diagnostics.empty());
      EXPECT_EQ(diagnostics.warnings(Warning::kMendedReportFile),
                std::string(c.name) == "part line mended" ? 1u : 0u);
    }
  }
}

TEST_F(CommitLogTest, HugeBlockIsCommittedBeforeItsLinesOutgrowTheBudget) {
  CommitLog log(&fs_, FileMode::kKeepOpen, &diagnostics_);
  const std::string line(99, 'x');
  const std::string line_feed = line + "\n";
  std::size_t appended = 0;
  while (appended < 3 * CommitLog::kBudget) {
    log.Append("dhe/1.rep", FileKind::kDhe, line_feed);
    appended += line_feed.size();
    ASSERT_LT(log.pending_bytes(), 2 * CommitLog::kBudget);
  }
  log.Flush();
  EXPECT_EQ(fs_.Contents("dhe/1.rep").size(), appended);
}

}  // namespace
}  // namespace tallora
