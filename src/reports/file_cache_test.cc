#include "reports/file_cache.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "reports/memory_file_system.h"

namespace tallora {
namespace {

struct Reported {
  std::vector<std::string> paths;
  FileCache::Reporter reporter() {
    return [this](const std::string& path, const FileResult&) {
      paths.push_back(path);
    };
  }
};

void Write(FileCache* cache, const std::string& path, std::string_view line) {
  FileResult result;
  AppendFile* file = cache->Open(path, &result);
  ASSERT_NE(file, nullptr) << path;
  EXPECT_TRUE(file->Write(line).ok());
  cache->CountWritten(file);
}

TEST(FileCache, ClosesTheLeastRecentlyUsedFileToMakeRoom) {
  MemoryFileSystem fs;
  Reported reported;
  FileCache cache(&fs, reported.reporter(), 2);
  for (const char* path : {"a", "b", "a", "c", "a", "b"}) {
    Write(&cache, path, std::string(path) + "\n");
  }
  // "b" was the oldest when "c" came, "c" when "b" came back.
  EXPECT_EQ(fs.opens(), 4u);
  EXPECT_EQ(cache.open_count(), 2u);
  EXPECT_EQ(fs.Contents("a"), "a\na\na\n");
  EXPECT_EQ(fs.Contents("b"), "b\nb\n");
}

TEST(FileCache, AFileOpenedAgainIsMendedOnlyWhenItNoLongerEndsAsLeft) {
  const struct Case {
    const char* name;
    const char* meanwhile;  // appended by another process while it was closed
    const char* contents;
  } kCases[] = {
      {"untouched", "", "1\n2\n"},
      {"a whole line added", "x\n", "1\nx\n2\n"},
      {"part of a line added", "x", "1\nx\n2\n"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    MemoryFileSystem fs;
    Reported reported;
    FileCache cache(&fs, reported.reporter(), 1);
    Write(&cache, "a", "1\n");
    Write(&cache, "b", "1\n");  // closes "a"
    fs.AppendAsAnotherProcess("a", c.meanwhile);
    FileResult result;
    AppendFile* file = cache.Open("a", &result);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->Write("2\n").mended, std::string_view(c.meanwhile) == "x");
    EXPECT_EQ(fs.Contents("a"), c.contents);
  }
}

TEST(FileCache, FewerDescriptorsThanRoomClosesFilesUntilTheOpenSucceeds) {
  MemoryFileSystem fs;
  fs.set_open_file_limit(3);
  Reported reported;
  FileCache cache(&fs, reported.reporter(), 100);
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < 10; ++i) {
      Write(&cache, std::to_string(i), std::to_string(round) + "\n");
    }
  }
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(fs.Contents(std::to_string(i)), "0\n1\n");
  }
  EXPECT_LE(fs.open_now(), 3u);
  EXPECT_TRUE(reported.paths.empty());
}

TEST(FileCache, TwoSpellingsOfOneFileShareOneOpenFile) {
  MemoryFileSystem fs;
  fs.Alias("DEPOT", "Depot");
  Reported reported;
  FileCache cache(&fs, reported.reporter());
  FileResult result;
  AppendFile* first = cache.Open("Depot", &result);
  EXPECT_EQ(cache.Open("DEPOT", &result), first);
  EXPECT_EQ(cache.open_count(), 1u);
}

TEST(FileCache, SizeFollowsTheOpenFileLimit) {
  const struct Case {
    std::size_t limit;
    std::size_t capacity;
  } kCases[] = {{20, 10},
                {1024, 1024 - FileCache::kReserved},
                {1000000, FileCache::kMostOpen}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.limit);
    MemoryFileSystem fs;
    fs.set_open_file_limit(c.limit);
    Reported reported;
    EXPECT_EQ(FileCache(&fs, reported.reporter()).capacity(), c.capacity);
  }
}

TEST(FileCache, FailedOpenMakesItsFoldersAgainOrNamesTheOneThatFailed) {
  const struct Case {
    const char* name;
    int first_make_error;  // the make when first asked for
    int later_make_error;  // every make after that
    bool opened;
    int error;
    std::string folder;
  } kCases[] = {
      {"made again", ENOSPC, 0, true, 0, ""},
      {"cannot be made", ENOSPC, ENOSPC, false, ENOENT, "Node/TRK1"},
      {"a file in its place", EEXIST, EEXIST, false, ENOTDIR, ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    MemoryFileSystem fs;
    int ignored = 0;
    fs.MakeFolder("Node", &ignored);
    if (c.first_make_error == EEXIST) {
      fs.AppendAsAnotherProcess("Node/TRK1", "in the way\n");
    }
    fs.FailMakeFolder("Node/TRK1", c.first_make_error);
    Reported reported;
    FileCache cache(&fs, reported.reporter());
    cache.MakeFolder("Node");
    cache.MakeFolder("Node/TRK1");
    fs.FailMakeFolder("Node/TRK1", c.later_make_error);
    FileResult result;
    EXPECT_EQ(cache.Open("Node/TRK1/15062022.csv", &result) != nullptr,
              c.opened);
    EXPECT_EQ(result.error, c.error);
    EXPECT_EQ(result.folder, c.folder);
    if (!c.folder.empty()) {
      EXPECT_EQ(result.folder_error, ENOSPC);
    }
  }
}

TEST(FileCache, FileChangedWhileClosedHasItsEndLookedAtAgain) {
  for (const bool changed : {false, true}) {
    SCOPED_TRACE(changed ? "changed" : "as left");
    MemoryFileSystem fs;
    Reported reported;
    FileCache cache(&fs, reported.reporter(), 1);
    Write(&cache, "a", "1\n");
    Write(&cache, "b", "x\n");  // closes "a"
    if (changed) {
      fs.AppendAsAnotherProcess("a", "torn");
    }
    FileResult result;
    AppendFile* file = cache.Open("a", &result);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->Write("2\n").mended, changed);
    EXPECT_EQ(fs.Contents("a"), changed ? "1\ntorn\n2\n" : "1\n2\n");
  }
}

TEST(FileCache, FailedCloseOfAnEvictedFileIsReported) {
  MemoryFileSystem fs;
  fs.FailClose("a", EIO);
  Reported reported;
  FileCache cache(&fs, reported.reporter(), 1);
  Write(&cache, "a", "1\n");
  Write(&cache, "b", "2\n");
  EXPECT_EQ(reported.paths, std::vector<std::string>{"a"});
}

}  // namespace
}  // namespace tallora
