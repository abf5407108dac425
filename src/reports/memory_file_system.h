// A file system held in memory, with failures to order, for tests of the
// report writers and of the files they go through.
#ifndef TALLORA_REPORTS_MEMORY_FILE_SYSTEM_H_
#define TALLORA_REPORTS_MEMORY_FILE_SYSTEM_H_

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "reports/file_system.h"

namespace tallora {

// Folders and files by path, '/' or '\' separated; the working folder ("")
// always exists. Paths are taken as they are spelled, except those made
// aliases of another path.
class MemoryFileSystem final : public FileSystem {
 public:
  MemoryFileSystem();
  ~MemoryFileSystem() override;

  bool MakeFolder(const std::string& path, int* error) override;
  std::unique_ptr<AppendHandle> OpenForAppend(const std::string& path,
                                              int* error) override;
  bool IsFolder(const std::string& path) override;
  bool Identify(const std::string& path, FileId* id) override;
  std::size_t OpenFileLimit() override { return open_file_limit_; }

  // Failures to order. Each holds until cleared with error 0.
  void FailMakeFolder(const std::string& path, int error);
  void FailOpen(const std::string& path, int error);
  // Writes to the file stop with ENOSPC once it holds `size` bytes; then
  // `interloper`, when given, is appended as by another process.
  void LimitSize(const std::string& path, std::uint64_t size,
                 std::string interloper = {});
  void FailCutBack(const std::string& path, int error);
  void FailClose(const std::string& path, int error);

  // Makes `alias` another spelling of `path`, as a case-blind file system
  // or a link does.
  void Alias(const std::string& alias, const std::string& path);
  // Appends `bytes` to the file at `path`, making it, as another process
  // would.
  void AppendAsAnotherProcess(const std::string& path,
                              const std::string& bytes);
  // At most this many files may be open at once; more fail with EMFILE.
  void set_open_file_limit(std::size_t limit) { open_file_limit_ = limit; }

  // The bytes of the file at `path`; empty when there is none.
  std::string Contents(const std::string& path) const;
  bool HasFile(const std::string& path) const;
  // Every folder and file, sorted; folders end with '/'.
  std::vector<std::string> List() const;
  // The paths written to, one per write, in order.
  const std::vector<std::string>& writes() const { return writes_; }
  std::size_t opens() const { return opens_; }
  std::size_t open_now() const { return open_now_; }

 private:
  class Handle;
  struct File {
    std::string bytes;
    std::string path;
    std::uint64_t size_limit = UINT64_MAX;
    std::string interloper;
    int cut_back_error = 0;
    int close_error = 0;
  };

  // The path with '\' as '/' and aliases resolved.
  std::string Key(const std::string& path) const;
  // The file at `path`, made when missing.
  File* FileAt(const std::string& path);
  // 0 when the folder that holds `key` exists, else the errno value.
  int ParentError(const std::string& key) const;

  std::map<std::string, std::unique_ptr<File>> files_;
  std::map<std::string, bool> folders_;
  std::map<std::string, std::string> aliases_;
  std::map<std::string, int> make_folder_errors_;
  std::map<std::string, int> open_errors_;
  std::vector<std::string> writes_;
  std::size_t open_file_limit_ = 1024;
  std::size_t opens_ = 0;
  std::size_t open_now_ = 0;
  std::uint64_t next_index_ = 1;
  std::map<const File*, std::uint64_t> indexes_;
};

}  // namespace tallora

#endif  // TALLORA_REPORTS_MEMORY_FILE_SYSTEM_H_
