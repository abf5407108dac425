// The report files of a run: folders made and lines appended.
#ifndef TALLORA_REPORTS_OUTPUT_FILES_H_
#define TALLORA_REPORTS_OUTPUT_FILES_H_

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "reports/diagnostics.h"
#include "reports/file_system.h"

namespace tallora {

enum class FileMode {
  // Files stay open between appends (a bounded set, least recently used
  // closed first) and folders are made once per run. Every file is complete
  // on disk after each Flush().
  kKeepOpen,
  // Every append opens, writes and closes its file, and every folder request
  // makes the folder. The reference behaviour, kept for tests and
  // benchmarks.
  kOpenPerAppend,
};

// Appends to report files and makes their folders. Either mode leaves the
// same bytes in every file, in the same order. Write and close failures are
// reported to the diagnostics, naming the file; open failures are handed
// back to the writer, which decides whether they are reported.
class OutputFiles {
 public:
  // Files held open at once in keep-open mode.
  static constexpr std::size_t kMaxOpenFiles = 128;

  OutputFiles(FileMode mode, Diagnostics* diagnostics);
  ~OutputFiles();
  OutputFiles(const OutputFiles&) = delete;
  OutputFiles& operator=(const OutputFiles&) = delete;

  // Makes the one folder at `path`; failure (an existing folder, say) is
  // ignored.
  void MakeFolder(const std::string& path);

  // Appends `bytes` (possibly none) to the file at `path`, creating it.
  // `folders` are the folders the file lives in, parent first: in keep-open
  // mode they are made again and the open retried once when it fails, in
  // case one was removed during the run. Returns false iff the file could not
  // be opened, with *error set to the errno value.
  bool Append(const std::string& path, std::string_view bytes,
              std::initializer_list<const std::string*> folders, int* error);

  // Where a path was last found open, so that repeated appends to one path
  // skip looking it up while its file stays open.
  struct FileRef {
    std::size_t slot = 0;
    std::uint64_t serial = 0;  // 0: not found yet
  };

  // As Append above, and fills `*ref` for the next append to `path`.
  // REQUIRES: `*ref` is new or was filled by an append to `path`.
  bool Append(const std::string& path, std::string_view bytes,
              std::initializer_list<const std::string*> folders, FileRef* ref,
              int* error);

  // Writes out every buffered byte. Called at the end of each block.
  void Flush();

  // Flushes and closes every file.
  void CloseAll();

 private:
  struct OpenFile {
    int fd = -1;
    FileId id;
    std::string path;  // the path it was opened by, for diagnostics
    std::string pending;
    std::uint64_t last_use = 0;
    std::uint64_t serial = 0;          // unique to this opening of the file
    std::vector<std::string> aliases;  // every path mapped to this file
  };

  bool AppendPerCall(const std::string& path, std::string_view bytes,
                     int* error);
  bool AppendKeepOpen(const std::string& path, std::string_view bytes,
                      std::initializer_list<const std::string*> folders,
                      FileRef* ref, int* error);
  // The open file for `path`: the one `*ref` names while it stays open,
  // otherwise Open(), filling `*ref`.
  OpenFile* Lookup(const std::string& path,
                   std::initializer_list<const std::string*> folders,
                   FileRef* ref, int* error);
  // The open file for `path`, opening it when needed, or nullptr when it
  // cannot be opened.
  OpenFile* Open(const std::string& path,
                 std::initializer_list<const std::string*> folders, int* error);
  // Writes out the pending bytes of `file`. Returns false, after reporting,
  // when the write fails.
  bool WritePending(OpenFile* file);
  // Releases the least recently used open file. Returns false iff none is
  // open.
  bool ReleaseOldest();
  // Flushes and closes `file` and forgets its paths.
  void Release(std::size_t slot);

  FileMode mode_;
  Diagnostics* diagnostics_;
  std::vector<OpenFile> files_;
  std::unordered_map<std::string, std::size_t> slot_by_path_;
  std::unordered_set<std::string> folders_made_;
  std::uint64_t clock_ = 0;
  std::uint64_t openings_ = 0;
};

}  // namespace tallora

#endif  // TALLORA_REPORTS_OUTPUT_FILES_H_
