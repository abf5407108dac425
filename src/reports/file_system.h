// The platform seam: output path form, folder creation and append-only
// files. Everything that differs between Windows and POSIX lives behind it.
#ifndef TALLORA_REPORTS_FILE_SYSTEM_H_
#define TALLORA_REPORTS_FILE_SYSTEM_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace tallora {

// Output paths are built with the backslash as separator. Returns `path` in
// the platform's form: unchanged on Windows; on POSIX every backslash
// becomes '/'.
std::string NativePath(std::string path);

// Makes the one folder at `path` (its parent must exist). Returns true iff
// the folder was made; callers ignore failures such as an existing folder.
bool MakeFolder(const std::string& path);

// Opens the file at `path` for binary appending, creating it when missing.
// Returns the descriptor, or -1 with *error set to the errno value.
int OpenForAppend(const std::string& path, int* error);

// Writes all of `bytes` to `fd`. Returns true iff every byte was written;
// otherwise *error holds the errno value of the failed write.
bool WriteAll(int fd, std::string_view bytes, int* error);

// Closes `fd`. Returns true iff the close succeeded; otherwise *error holds
// the errno value.
bool CloseFile(int fd, int* error);

// Identity of an open file, the same for every path that reaches it.
struct FileId {
  std::uint64_t device = 0;
  std::uint64_t index = 0;
  friend bool operator==(const FileId&, const FileId&) = default;
};

// Returns true iff the identity of the open file `fd` could be read.
bool GetFileId(int fd, FileId* id);

// The system's text for an errno value.
std::string ErrorText(int error);

}  // namespace tallora

#endif  // TALLORA_REPORTS_FILE_SYSTEM_H_
