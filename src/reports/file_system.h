// The platform seam: output path form, folder creation and report files
// opened for appending. Everything that differs between Windows and POSIX
// lives behind it; tests put an in-memory file system in its place.
#ifndef TALLORA_REPORTS_FILE_SYSTEM_H_
#define TALLORA_REPORTS_FILE_SYSTEM_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace tallora {

// Identity of an open file, the same for every path that reaches it.
struct FileId {
  std::uint64_t device = 0;
  std::uint64_t index = 0;
  friend bool operator==(const FileId&, const FileId&) = default;
};

struct FileIdHash {
  std::size_t operator()(const FileId& id) const {
    return std::hash<std::uint64_t>()(id.index * 0x9e3779b97f4a7c15U ^
                                      id.device);
  }
};

// A report file opened for reading and appending. Every write lands at the
// end of the file, atomically with respect to other processes appending to
// it. Errors are errno values, on every platform.
class AppendHandle {
 public:
  virtual ~AppendHandle() = default;

  // Appends all of `pieces`, one after the other, at the end of the file, in
  // one write where the system allows. Returns true iff every byte was
  // written; otherwise *error holds the reason, and *written how many bytes
  // did reach the file before the failure.
  virtual bool Append(std::span<const std::string_view> pieces,
                      std::size_t* written, int* error) = 0;
  bool Append(std::string_view bytes, std::size_t* written, int* error) {
    return Append(std::span<const std::string_view>(&bytes, 1), written, error);
  }
  // Sets *size to the file's current length. Returns true iff it could be
  // read.
  virtual bool Size(std::uint64_t* size, int* error) = 0;
  // Sets *byte to the byte at `offset`. Returns true iff it could be read.
  virtual bool ReadByte(std::uint64_t offset, char* byte, int* error) = 0;
  // Cuts the file back to `size` bytes. Returns true iff it was cut.
  virtual bool CutBack(std::uint64_t size, int* error) = 0;
  // Closes the file. Returns true iff everything written reached the file.
  // REQUIRES: called at most once; no other call follows it.
  virtual bool Close(int* error) = 0;

  // The identity of the open file; FileId{} when it cannot be known.
  virtual FileId id() const = 0;
  // The file's length when it was opened, read with its identity; 0 when it
  // cannot be known.
  virtual std::uint64_t size_at_open() const = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Makes the one folder at `path`, whose parent must exist. Returns true iff
  // the folder was made; *error is EEXIST when something of that name exists.
  virtual bool MakeFolder(const std::string& path, int* error) = 0;
  // Opens the file at `path` for reading and appending, creating it when
  // missing. Returns nullptr, with *error set, when it cannot be opened.
  virtual std::unique_ptr<AppendHandle> OpenForAppend(const std::string& path,
                                                      int* error) = 0;
  // True iff `path` names an existing folder.
  virtual bool IsFolder(const std::string& path) = 0;
  // Sets *id to the identity of the existing file at `path`, without opening
  // it. Returns false when there is none or it cannot be known.
  virtual bool Identify(const std::string& path, FileId* id) = 0;
  // How many files this process may hold open at once.
  virtual std::size_t OpenFileLimit() = 0;
};

// The file system of the machine the tool runs on.
FileSystem& PlatformFileSystem();

// Output paths are built with the backslash as separator. Returns `path` in
// the platform's form: unchanged on Windows; on POSIX every backslash
// becomes '/'.
std::string NativePath(std::string path);

// The folder part of a native path: everything before its last separator;
// empty when it has none.
std::string_view ParentFolder(std::string_view path);

// The system's text for an errno value.
std::string ErrorText(int error);

}  // namespace tallora

#endif  // TALLORA_REPORTS_FILE_SYSTEM_H_
