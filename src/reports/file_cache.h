// The report files kept open between commits, and the folders made.
#ifndef TALLORA_REPORTS_FILE_CACHE_H_
#define TALLORA_REPORTS_FILE_CACHE_H_

#include <cstddef>
#include <cstdint>
#include <forward_list>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "reports/append_file.h"
#include "reports/file_result.h"
#include "reports/file_system.h"

namespace tallora {

// A bounded set of open report files, the least recently used closed first
// to make room, found by path and by file identity, so that two paths that
// reach one file share one open file. Folders are made once per run, and
// made again when an open in them fails.
class FileCache {
 public:
  // Receives every failure of a file the cache itself closes.
  using Reporter =
      std::function<void(const std::string& path, const FileResult& result)>;

  // Most files held open, whatever the process allows.
  static constexpr std::size_t kMostOpen = 8192;
  // Descriptors left for everything else the process opens.
  static constexpr std::size_t kReserved = 64;

  // Holds at most `capacity` files open; 0 means as many as the process's
  // open-file limit allows, less kReserved, at most kMostOpen.
  FileCache(FileSystem* file_system, Reporter reporter,
            std::size_t capacity = 0);
  ~FileCache();
  FileCache(const FileCache&) = delete;
  FileCache& operator=(const FileCache&) = delete;

  // Makes the folder at `path` unless this run made it (or found it made)
  // already. Its parent must have been asked for first.
  void MakeFolder(const std::string& path);

  // The open file reached by `path`, opened when needed. When the open fails
  // the folders above the file that this run made are made again and the
  // open retried once. Returns nullptr, with the failure in *result, when it
  // cannot be opened; an open that fails because a folder of the file could
  // not be made names that folder. The pointer stays valid until the next
  // call of Open() or CloseAll().
  AppendFile* Open(const std::string& path, FileResult* result);

  // Starts a round of uses: the files used in it are those Identify()
  // keeps from being closed to make room.
  void StartRound() {
    ++round_;
    round_broken_ = false;
  }

  // The identity of the file `path` reaches: from the open file, else by
  // opening (and so creating) it while that closes no file used in this
  // round, else from the file system, or by opening it after all. The file
  // counts as used; *open is the open file, or nullptr when it was not
  // opened. Returns false, with the failure in *result, when it cannot be
  // opened.
  bool Identify(const std::string& path, FileId* id, AppendFile** open,
                FileResult* result);

  // True iff no file used in this round has been closed since it started:
  // the files Open() and Identify() gave in it are still open.
  bool round_intact() const { return !round_broken_; }

  // True iff the file `path` reaches is open now.
  bool IsOpen(const std::string& path) const { return by_path_.contains(path); }

  // Closes every file, reporting failed closes.
  void CloseAll();

  // Counts the file among those written in this run, the first time it is
  // called for an open file.
  void CountWritten(AppendFile* file);
  // Files written in this run, counted up to kMostFilesCounted.
  std::size_t files_written() const { return written_.size(); }
  static constexpr std::size_t kMostFilesCounted = 100000;

  std::size_t capacity() const { return capacity_; }
  std::size_t open_count() const { return lru_.size(); }

 private:
  struct Entry {
    std::unique_ptr<AppendFile> file;
    // Other spellings of the file's path, met while it was open.
    std::forward_list<std::string> aliases;
    std::uint64_t round = 0;  // the last round it was used in
  };
  using Lru = std::list<Entry>;

  // Opens `path`, retrying while descriptors run out and files can be
  // closed to free them.
  std::unique_ptr<AppendFile> OpenNew(const std::string& path,
                                      FileResult* result);
  // Makes again the folders above `path` that this run asked for, parent
  // first. Returns the first of them that cannot be made and why, if any.
  void RemakeFolders(const std::string& path, FileResult* result);
  // Moves `entry` to the front as used in this round.
  void Use(Lru::iterator entry);
  void Evict(Lru::iterator entry);
  bool EvictOldest();

  FileSystem* file_system_;
  Reporter reporter_;
  std::size_t capacity_;
  Lru lru_;  // most recently used first
  // Keyed by the open file's path and its aliases, held by the entries.
  std::unordered_map<std::string_view, Lru::iterator> by_path_;
  std::unordered_map<FileId, Lru::iterator, FileIdHash> by_id_;
  // The folders asked for in this run: 0 once made or found, else the errno
  // value of the failed make.
  std::unordered_map<std::string, int> folders_;
  std::uint64_t round_ = 1;
  bool round_broken_ = false;
  // The files written in this run, each with the length this run's writes
  // left it at when they left it ending in a whole line (kEndUnknown
  // otherwise, or while it is open): a file opened again at that length
  // needs no look at its end.
  static constexpr std::uint64_t kEndUnknown = ~std::uint64_t{0};
  std::unordered_map<FileId, std::uint64_t, FileIdHash> written_;
};

}  // namespace tallora

#endif  // TALLORA_REPORTS_FILE_CACHE_H_
