#include "reports/append_file.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "reports/memory_file_system.h"

namespace tallora {
namespace {

using Failure = FileResult::Failure;

TEST(AppendFile, FailedWriteNeverLeavesPartOfALine) {
  const struct Case {
    const char* name;
    std::string before;  // the file's bytes before the run
    std::uint64_t size_limit;
    int cut_back_error;
    std::string interloper;  // appended by another process as the write fails
    std::string after;
    Failure failure;
    std::size_t lines_lost;
    bool part_line_left;
    bool mended;
  } kCases[] = {
      {"room for all", "old\n", 100, 0, "", "old\nL1\nL2\n", Failure::kNone, 0,
       false, false},
      {"no room", "old\n", 4, 0, "", "old\n", Failure::kWrite, 2, false, false},
      {"short write cut back", "old\n", 8, 0, "", "old\n", Failure::kWrite, 2,
       false, false},
      {"cut back fails", "old\n", 8, EINVAL, "", "old\nL1\nL", Failure::kWrite,
       1, true, false},
      {"another process appended", "old\n", 8, 0, "X\n", "old\nL1\nLX\n",
       Failure::kWrite, 1, true, false},
      {"short write on a line end", "", 3, EINVAL, "", "L1\n", Failure::kWrite,
       1, false, false},
      {"part line mended first", "old", 100, 0, "", "old\nL1\nL2\n",
       Failure::kNone, 0, false, true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    MemoryFileSystem fs;
    fs.AppendAsAnotherProcess("f", c.before);
    fs.LimitSize("f", c.size_limit, c.interloper);
    fs.FailCutBack("f", c.cut_back_error);
    FileResult opened;
    auto file = AppendFile::Open(&fs, "f", &opened);
    ASSERT_NE(file, nullptr);
    const FileResult result = file->Write("L1\nL2\n");
    EXPECT_EQ(fs.Contents("f"), c.after);
    EXPECT_EQ(result.failure, c.failure);
    EXPECT_EQ(result.lines_lost, c.lines_lost);
    EXPECT_EQ(result.part_line_left, c.part_line_left);
    EXPECT_EQ(result.mended, c.mended);
  }
}

TEST(AppendFile, PartLineLeftIsMendedBeforeTheNextWrite) {
  MemoryFileSystem fs;
  fs.LimitSize("f", 4);
  fs.FailCutBack("f", EINVAL);
  FileResult opened;
  auto file = AppendFile::Open(&fs, "f", &opened);
  ASSERT_NE(file, nullptr);
  EXPECT_TRUE(file->Write("L1\nL2\n").part_line_left);
  fs.LimitSize("f", 100);
  const FileResult next = file->Write("L3\n");
  EXPECT_TRUE(next.ok());
  EXPECT_TRUE(next.mended);
  EXPECT_EQ(fs.Contents("f"), "L1\nL\nL3\n");
}

TEST(AppendFile, OpenAndCloseFailuresAreCarried) {
  MemoryFileSystem fs;
  fs.FailOpen("blocked", EACCES);
  FileResult result;
  EXPECT_EQ(AppendFile::Open(&fs, "blocked", &result), nullptr);
  EXPECT_EQ(result.failure, Failure::kOpen);
  EXPECT_EQ(result.error, EACCES);

  fs.FailClose("f", EIO);
  auto file = AppendFile::Open(&fs, "f", &result);
  ASSERT_NE(file, nullptr);
  const FileResult closed = file->Close();
  EXPECT_EQ(closed.failure, Failure::kClose);
  EXPECT_EQ(closed.error, EIO);
}

}  // namespace
}  // namespace tallora
