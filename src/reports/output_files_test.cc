#include "reports/output_files.h"

#include <gtest/gtest.h>

#include <cstdio>
#ifndef _WIN32
#include <sys/resource.h>
#endif
#include <string>

#include "support/temp_dir.h"

namespace tallora {
namespace {

using testing::ReadFile;
using testing::TempDir;

class OutputFilesTest : public ::testing::TestWithParam<FileMode> {
 protected:
  std::string Path(std::string_view name) const {
    return (dir_ / name).string();
  }

  TempDir dir_;
  std::FILE* sink_ = std::tmpfile();
  Diagnostics diagnostics_{sink_};

  ~OutputFilesTest() override { std::fclose(sink_); }
};

TEST_P(OutputFilesTest, AppendsInOrderAndIsCompleteAfterFlush) {
  OutputFiles files(GetParam(), &diagnostics_);
  int error = 0;
  ASSERT_TRUE(files.Append(Path("a.csv"), "1\n", {}, &error));
  ASSERT_TRUE(files.Append(Path("b.csv"), "x\n", {}, &error));
  ASSERT_TRUE(files.Append(Path("a.csv"), "2\n", {}, &error));
  ASSERT_TRUE(files.Append(Path("empty.rep"), "", {}, &error));
  files.Flush();
  EXPECT_EQ(ReadFile(dir_ / "a.csv"), "1\n2\n");
  EXPECT_EQ(ReadFile(dir_ / "b.csv"), "x\n");
  EXPECT_TRUE(std::filesystem::exists(dir_ / "empty.rep"));
  EXPECT_FALSE(diagnostics_.failed());
}

TEST_P(OutputFilesTest, KeepsOrderWhenMoreFilesThanCanStayOpen) {
  OutputFiles files(GetParam(), &diagnostics_);
  int error = 0;
  const std::size_t count = OutputFiles::kMaxOpenFiles + 7;
  for (int round = 0; round < 3; ++round) {
    for (std::size_t i = 0; i < count; ++i) {
      ASSERT_TRUE(files.Append(Path(std::to_string(i)),
                               std::to_string(round) + "\n", {}, &error));
    }
  }
  files.CloseAll();
  for (std::size_t i = 0; i < count; ++i) {
    EXPECT_EQ(ReadFile(dir_ / std::to_string(i)), "0\n1\n2\n");
  }
}

TEST_P(OutputFilesTest, RememberedFileClosedToMakeRoomIsNotWrittenThrough) {
  OutputFiles files(GetParam(), &diagnostics_);
  int error = 0;
  OutputFiles::FileRef first;
  ASSERT_TRUE(files.Append(Path("first"), "1\n", {}, &first, &error));
  // Closes "first", with its line still buffered, and reuses its slot.
  for (std::size_t i = 0; i < OutputFiles::kMaxOpenFiles; ++i) {
    ASSERT_TRUE(files.Append(Path(std::to_string(i)), "x\n", {}, &error));
  }
  ASSERT_TRUE(files.Append(Path("first"), "2\n", {}, &first, &error));
  files.CloseAll();
  EXPECT_EQ(ReadFile(dir_ / "first"), "1\n2\n");
  for (std::size_t i = 0; i < OutputFiles::kMaxOpenFiles; ++i) {
    EXPECT_EQ(ReadFile(dir_ / std::to_string(i)), "x\n");
  }
}

TEST_P(OutputFilesTest, TwoPathsToOneFileKeepTheOrderOfAppends) {
  OutputFiles files(GetParam(), &diagnostics_);
  std::filesystem::create_directory(dir_ / "sub");
  int error = 0;
  ASSERT_TRUE(files.Append(Path("sub/f"), "1\n", {}, &error));
  ASSERT_TRUE(files.Append(Path("sub/../sub/f"), "2\n", {}, &error));
  ASSERT_TRUE(files.Append(Path("sub/f"), "3\n", {}, &error));
  files.Flush();
  EXPECT_EQ(ReadFile(dir_ / "sub" / "f"), "1\n2\n3\n");
}

TEST_P(OutputFilesTest, OpenFailureIsHandedBack) {
  OutputFiles files(GetParam(), &diagnostics_);
  int error = 0;
  EXPECT_FALSE(files.Append(Path("missing/f.csv"), "1\n", {}, &error));
  EXPECT_NE(error, 0);
  EXPECT_FALSE(diagnostics_.failed());
}

TEST_P(OutputFilesTest, FolderRemovedDuringTheRunIsMadeAgain) {
  OutputFiles files(GetParam(), &diagnostics_);
  const std::string folder = Path("Node");
  files.MakeFolder(folder);
  std::filesystem::remove(folder);
  files.MakeFolder(folder);
  int error = 0;
  EXPECT_TRUE(files.Append(Path("Node/f.csv"), "1\n", {&folder}, &error) ||
              GetParam() == FileMode::kOpenPerAppend);
}

#ifndef _WIN32
TEST_P(OutputFilesTest, FewerOpenFilesAllowedThanKeptOpenLosesNothing) {
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
  rlimit low = saved;
  low.rlim_cur = 32;  // well below kMaxOpenFiles
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
  {
    OutputFiles files(GetParam(), &diagnostics_);
    int error = 0;
    for (int round = 0; round < 3; ++round) {
      for (int i = 0; i < 60; ++i) {
        EXPECT_TRUE(files.Append(Path(std::to_string(i)),
                                 std::to_string(round) + "\n", {}, &error));
      }
    }
    files.CloseAll();
  }
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &saved), 0);
  for (int i = 0; i < 60; ++i) {
    EXPECT_EQ(ReadFile(dir_ / std::to_string(i)), "0\n1\n2\n");
  }
  EXPECT_FALSE(diagnostics_.failed());
}

TEST_P(OutputFilesTest, FullDiskIsReportedNamingTheFile) {
  OutputFiles files(GetParam(), &diagnostics_);
  int error = 0;
  ASSERT_TRUE(files.Append("/dev/full", "line\n", {}, &error));
  files.Flush();
  EXPECT_TRUE(diagnostics_.failed());
  std::rewind(sink_);
  char message[200] = {};
  std::fgets(message, sizeof message, sink_);
  EXPECT_STREQ(message,
               "tallora: write failed, lines lost: /dev/full: No space left on "
               "device\n");
}
#endif

INSTANTIATE_TEST_SUITE_P(BothModes, OutputFilesTest,
                         ::testing::Values(FileMode::kKeepOpen,
                                           FileMode::kOpenPerAppend),
                         [](const auto& info) {
                           return info.param == FileMode::kKeepOpen
                                      ? "KeepOpen"
                                      : "OpenPerAppend";
                         });

}  // namespace
}  // namespace tallora
