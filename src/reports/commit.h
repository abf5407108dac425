// The lines made since the last commit, and their writing out.
#ifndef TALLORA_REPORTS_COMMIT_H_
#define TALLORA_REPORTS_COMMIT_H_

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

#include "reports/append_file.h"
#include "reports/diagnostics.h"
#include "reports/file_cache.h"
#include "reports/file_system.h"

namespace tallora {

enum class FileMode {
  // Lines wait in the commit log and go out in one write per file per
  // commit; files stay open between commits.
  kKeepOpen,
  // Every append opens, writes and closes its file, and every folder request
  // makes the folder. The reference for the bytes of every file, kept for
  // tests and benchmarks.
  kOpenPerAppend,
};

// What a report file holds, which decides when its lines go out in a
// commit: node and DHE lines first, shift summary lines last, so that a
// block whose summary line reached its file has every other line there too.
enum class FileKind { kNode, kDhe, kShift };

// An ordered log of the report lines and folders asked for since the last
// commit. Commit() hands them to a writer thread, which makes the folders
// and writes the lines grouped by file, in the order they were made within
// each file, with one write per file, while the next lines are being made.
// Only the writer thread touches the file system. Failures are reported to
// the diagnostics on the calling thread, when the next commit is handed over
// or at Flush(), naming the file and the lines lost. A DHE file that cannot
// be opened because the folder it would live in does not exist is not a
// failure: that is how DHE reports are turned off.
class CommitLog {
 public:
  // Pending bytes past which the run commits at its next block boundary.
  static constexpr std::size_t kBudget = std::size_t{2} << 20;

  // REQUIRES: `file_system` and `diagnostics` outlive the log.
  CommitLog(FileSystem* file_system, FileMode mode, Diagnostics* diagnostics,
            std::size_t open_files = 0);
  ~CommitLog();
  CommitLog(const CommitLog&) = delete;
  CommitLog& operator=(const CommitLog&) = delete;

  // Asks for the one folder at `path`, made before the lines logged with it
  // are written, once per run: a folder asked for again is made again only
  // when an open in it fails. Failure (an existing folder, say) is not
  // reported, as the open of a file in it tells what went wrong.
  void MakeFolder(const std::string& path);

  // Where a path was last logged, so that repeated appends to one path skip
  // looking it up.
  struct FileRef {
    std::uint32_t index = 0;
    std::uint64_t table = 0;  // 0: not logged yet
  };

  // Logs `lines` (possibly none: the file is still created) for the file at
  // `path`: the pieces one after the other, holding `line_count` whole
  // lines. Lines past twice the budget are committed at once, so that memory
  // stays bounded within one huge block.
  // REQUIRES: the pieces together are empty or end with a line feed, and
  // hold `line_count` line feeds; `*ref` is new or was filled by an append
  // to `path`.
  void Append(const std::string& path, FileKind kind,
              std::initializer_list<std::string_view> pieces,
              std::size_t line_count, FileRef* ref);
  // As above, for lines in one piece, counting them.
  void Append(const std::string& path, FileKind kind, std::string_view lines,
              FileRef* ref) {
    Append(path, kind, {lines}, CountLines(lines), ref);
  }
  void Append(const std::string& path, FileKind kind, std::string_view lines) {
    FileRef ref;
    Append(path, kind, lines, &ref);
  }

  // The bytes logged since the last commit.
  std::size_t pending_bytes() const { return current_->bytes.size(); }

  // Hands everything logged so far to the writer thread. Waits first until
  // the commit handed before is written, and reports its failures: when
  // Commit() returns, every line logged before the previous Commit() is
  // written (or reported lost).
  void Commit();

  // Commits and waits until everything logged is written.
  void Flush();

  // Flushes and closes every file.
  void Close();

  // Lines written to report files so far, as of the last Flush().
  std::uint64_t lines_written() const { return lines_written_; }
  // Report files opened to be written so far, counted up to
  // kMostFilesCounted, as of the last Flush().
  std::size_t files_written() const { return cache_.files_written(); }
  static constexpr std::size_t kMostFilesCounted = FileCache::kMostFilesCounted;

 private:
  // A path logged in this run. Paths stay in the table across commits, so
  // that writers' references to them stay valid.
  struct LoggedFile {
    // Shared with the batches that write to it, which outlive the table.
    std::shared_ptr<const std::string> path;
    FileKind kind;
    std::uint64_t commit = 0;  // the last commit with lines for it
    std::uint32_t slot = 0;    // its place in the batch of that commit
  };
  // A run of lines for one file. A batch holds at most about twice the
  // budget, so 32 bits count its bytes and lines.
  struct Entry {
    std::uint32_t slot;  // the file's place in the batch's files
    std::uint32_t length;
    std::uint32_t offset;
    std::uint32_t lines;
  };
  struct Reported {
    std::string path;
    FileResult result;
  };
  // One commit: made by the calling thread, written by the writer thread.
  struct Batch {
    std::vector<std::string> folders;
    // The files with lines in this commit, in the order of their first
    // lines, and the lines, in the order they were made.
    std::vector<LoggedFile> files;
    std::vector<Entry> entries;
    std::string bytes;
    // Why files of the batch could not be opened when grouped, few if any.
    std::vector<FileResult> open_failures;
    // What the writer found, for the calling thread to report.
    std::vector<Reported> reports;
    std::uint64_t lines_written = 0;

    bool empty() const { return folders.empty() && files.empty(); }
    void Clear();
  };
  // The files one commit writes to as one: every logged path that reaches
  // the same file.
  struct Group {
    std::uint32_t first_slot;  // the first logged of its paths
    FileKind kind;
    // Why the file could not be opened, as an index in the batch's
    // open_failures; kOpened when it could.
    static constexpr std::uint32_t kOpened = ~std::uint32_t{0};
    std::uint32_t failure = kOpened;
    AppendFile* file = nullptr;  // open when grouped, if it was opened
    std::size_t first_entry = 0;
    std::size_t entry_count = 0;
  };

  // The calling thread's side.
  void AppendNow(const std::string& path, FileKind kind, std::string_view lines,
                 std::size_t line_count);
  // Waits until no batch is being written, then reports what the last one
  // found.
  void WaitForWriter();
  void ReportFound(Batch* batch);

  // The writer thread's side.
  void WriterLoop();
  void WriteBatch(Batch* batch);
  // The groups of the batch's files, and in *group_of the group of each.
  std::vector<Group> GroupFiles(Batch* batch,
                                std::vector<std::uint32_t>* group_of);
  // The entries of every group, one group after the other, each in log
  // order; sets each group's first entry and count.
  static std::vector<std::size_t> OrderEntries(
      const Batch& batch, const std::vector<std::uint32_t>& group_of,
      std::vector<Group>* groups);
  // The open file of `group`, from grouping while the cache's round is
  // intact, else from the cache.
  AppendFile* OpenFile(const Group& group, const Batch& batch,
                       FileResult* result);
  // Writes the lines of `group` in one write.
  void WriteGroup(const Group& group, const std::vector<std::size_t>& order,
                  Batch* batch);
  // Keeps `result` for reporting unless it needs none.
  void Keep(const std::string& path, FileKind kind, const FileResult& result,
            Batch* batch);
  void Count(AppendFile* file, std::size_t lines, const FileResult& result,
             Batch* batch);

  FileSystem* file_system_;
  FileMode mode_;
  Diagnostics* diagnostics_;

  // The calling thread's.
  std::uint64_t commit_ = 1;
  std::uint64_t table_ = 1;  // changes when the table of paths is emptied
  std::vector<LoggedFile> files_;
  // Keyed by the paths held in files_.
  std::unordered_map<std::string_view, std::uint32_t> file_index_;
  std::vector<std::uint32_t> touched_;  // files_ indexes, by batch slot
  std::unique_ptr<Batch> current_;      // being made
  std::unique_ptr<Batch> other_;        // being written, or written
  std::uint64_t lines_written_ = 0;

  // The writer thread's, and the calling thread's while no batch is
  // handed over.
  FileCache cache_;
  Batch* writing_ = nullptr;  // the batch whose files the cache reports on
  std::string scratch_;

  // Hand-over between the two threads.
  std::mutex mutex_;
  std::condition_variable handed_;
  std::condition_variable done_;
  bool busy_ = false;  // other_ is handed to the writer thread
  bool quit_ = false;
  std::exception_ptr failure_;  // an allocation failure in the writer
  std::thread writer_;
};

}  // namespace tallora

#endif  // TALLORA_REPORTS_COMMIT_H_
