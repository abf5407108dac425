// The file system seam on Windows.
#include <direct.h>
#include <windows.h>

#include <cerrno>
#include <span>
#include <string>
#include <string_view>

#include "reports/file_system.h"

namespace tallora {
namespace {

// Paths are 8-bit text in the ANSI code page, as the runtime library's char
// functions take them. Returns false when `path` cannot be converted.
bool Widen(std::string_view path, std::wstring* wide) {
  wide->clear();
  if (path.empty()) {
    return true;
  }
  const int size = static_cast<int>(path.size());
  const int length =
      MultiByteToWideChar(CP_ACP, 0, path.data(), size, nullptr, 0);
  if (length <= 0) {
    return false;
  }
  wide->resize(static_cast<std::size_t>(length));
  MultiByteToWideChar(CP_ACP, 0, path.data(), size, wide->data(), length);
  return true;
}

// The longest full path handed to the plain Windows functions: they refuse
// a file path of MAX_PATH characters with its terminator, and a folder path
// that leaves no room for an 8.3 name below it (MAX_PATH - 12).
constexpr std::size_t kShortPathMost = MAX_PATH - 12 - 1;

// The path in the form the wide functions take at any length. A path whose
// full form is longer than kShortPathMost (a long output root or a deep
// working folder reach that easily) is given as that full form with the
// \\?\ prefix, which lifts the limit. GetFullPathNameW makes the full form
// with the normalisation the plain functions apply (. and .. segments, / as
// a separator, trailing dots and spaces of the last name, device names), so
// the long form names what the short one would. Returns false when the path
// cannot be converted.
bool PathForm(const std::string& path, std::wstring* form) {
  if (!Widen(path, form)) {
    return false;
  }
  if (form->empty()) {
    return true;
  }
  const DWORD needed = GetFullPathNameW(form->c_str(), 0, nullptr, nullptr);
  if (needed == 0) {
    return true;  // the open itself reports the path
  }
  std::wstring full(needed, L'\0');
  const DWORD length =
      GetFullPathNameW(form->c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) {
    return true;
  }
  full.resize(length);
  const std::wstring_view view = full;
  if (full.size() <= kShortPathMost || view.starts_with(LR"(\\?\)") ||
      view.starts_with(LR"(\\.\)")) {
    return true;
  }
  if (view.starts_with(LR"(\\)")) {  // \\server\share\...
    *form = LR"(\\?\UNC\)" + full.substr(2);
  } else {
    *form = LR"(\\?\)" + full;
  }
  return true;
}

// The errno value closest to a Windows error code, so that diagnostics read
// the same on every platform.
int ErrnoOf(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return EACCES;
    case ERROR_WRITE_PROTECT:
      return EROFS;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_TOO_MANY_OPEN_FILES:
      return EMFILE;
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
    case ERROR_DIRECTORY:
      return ENOTDIR;
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_PARAMETER:
      return EINVAL;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return ENOMEM;
    default:
      return EIO;
  }
}

int LastErrno() {
  return ErrnoOf(GetLastError());
}

constexpr DWORD kShareAll =
    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

class WindowsAppendHandle final : public AppendHandle {
 public:
  using AppendHandle::Append;
  WindowsAppendHandle(HANDLE handle, std::wstring form, FileId id,
                      std::uint64_t size)
      : handle_(handle), form_(std::move(form)), id_(id), size_at_open_(size) {}
  ~WindowsAppendHandle() override {
    if (handle_ != INVALID_HANDLE_VALUE) {
      CloseHandle(handle_);
    }
  }

  // The handle has FILE_APPEND_DATA without FILE_WRITE_DATA, so every
  // WriteFile lands at the end of the file in one piece, as O_APPEND does.
  // Where that is only emulated (a seek to the end, then a write: some
  // network shares, wine), two runs could still write at one end; a lock on
  // a byte far past any end, held for the write, keeps the runs of this
  // tool from doing so. The pieces are gathered first, so that they go in
  // one WriteFile.
  bool Append(std::span<const std::string_view> pieces, std::size_t* written,
              int* error) override {
    OVERLAPPED beyond_end{};
    beyond_end.Offset = 0;
    beyond_end.OffsetHigh = 0xFFFFFFF0;
    const bool locked =
        LockFileEx(handle_, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &beyond_end) != 0;
    const bool appended = Write(pieces, written, error);
    if (locked) {
      UnlockFileEx(handle_, 0, 1, 0, &beyond_end);
    }
    return appended;
  }

  bool Write(std::span<const std::string_view> pieces, std::size_t* written,
             int* error) {
    // One buffer for all files: the tool writes from one thread.
    static std::string gathered;
    std::string_view bytes;
    if (pieces.size() == 1) {
      bytes = pieces.front();
    } else {
      gathered.clear();
      for (const std::string_view piece : pieces) {
        gathered.append(piece);
      }
      bytes = gathered;
    }
    constexpr std::size_t kMostPerCall = std::size_t{1} << 30;
    *written = 0;
    while (*written < bytes.size()) {
      const std::size_t rest = bytes.size() - *written;
      const DWORD n =
          static_cast<DWORD>(rest < kMostPerCall ? rest : kMostPerCall);
      DWORD done = 0;
      if (WriteFile(handle_, bytes.data() + *written, n, &done, nullptr) == 0) {
        *error = LastErrno();
        return false;
      }
      if (done == 0) {
        *error = ENOSPC;
        return false;
      }
      *written += done;
    }
    return true;
  }

  bool Size(std::uint64_t* size, int* error) override {
    LARGE_INTEGER length;
    if (GetFileSizeEx(handle_, &length) == 0) {
      *error = LastErrno();
      return false;
    }
    *size = static_cast<std::uint64_t>(length.QuadPart);
    return true;
  }

  bool ReadByte(std::uint64_t offset, char* byte, int* error) override {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD done = 0;
    if (ReadFile(handle_, byte, 1, &done, &at) == 0) {
      *error = LastErrno();
      return false;
    }
    if (done != 1) {
      *error = EIO;
      return false;
    }
    return true;
  }

  // The append handle may not move the end of the file back, so a second
  // handle with write access does it.
  bool CutBack(std::uint64_t size, int* error) override {
    const HANDLE writer =
        CreateFileW(form_.c_str(), GENERIC_WRITE, kShareAll, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (writer == INVALID_HANDLE_VALUE) {
      *error = LastErrno();
      return false;
    }
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
    const bool cut = SetFileInformationByHandle(writer, FileEndOfFileInfo, &end,
                                                sizeof end) != 0;
    if (!cut) {
      *error = LastErrno();
    }
    CloseHandle(writer);
    return cut;
  }

  bool Close(int* error) override {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    if (CloseHandle(handle) == 0) {
      *error = LastErrno();
      return false;
    }
    return true;
  }

  FileId id() const override { return id_; }
  std::uint64_t size_at_open() const override { return size_at_open_; }

 private:
  HANDLE handle_;
  std::wstring form_;
  FileId id_;
  std::uint64_t size_at_open_;
};

class WindowsFileSystem final : public FileSystem {
 public:
  bool MakeFolder(const std::string& path, int* error) override {
    std::wstring form;
    if (!PathForm(path, &form)) {
      *error = EINVAL;
      return false;
    }
    if (_wmkdir(form.c_str()) != 0) {
      *error = errno;
      return false;
    }
    return true;
  }

  std::unique_ptr<AppendHandle> OpenForAppend(const std::string& path,
                                              int* error) override {
    std::wstring form;
    if (!PathForm(path, &form)) {
      *error = EINVAL;
      return nullptr;
    }
    const HANDLE handle = CreateFileW(
        form.c_str(), FILE_APPEND_DATA | FILE_READ_DATA | FILE_READ_ATTRIBUTES,
        kShareAll, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      const DWORD code = GetLastError();
      // A folder in the file's place is refused as access denied.
      const DWORD attributes = GetFileAttributesW(form.c_str());
      *error = code == ERROR_ACCESS_DENIED &&
                       attributes != INVALID_FILE_ATTRIBUTES &&
                       (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0
                   ? EISDIR
                   : ErrnoOf(code);
      return nullptr;
    }
    FileId id;
    std::uint64_t size = 0;
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileInformationByHandle(handle, &info) != 0) {
      id = {info.dwVolumeSerialNumber,
            (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
      size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
    }
    return std::make_unique<WindowsAppendHandle>(handle, std::move(form), id,
                                                 size);
  }

  bool IsFolder(const std::string& path) override {
    std::wstring form;
    if (!PathForm(path.empty() ? std::string(".") : path, &form)) {
      return false;
    }
    const DWORD attributes = GetFileAttributesW(form.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  }

  // Windows reads a file's identity from an open handle only; a handle that
  // asks for no access opens no file for reading or writing.
  bool Identify(const std::string& path, FileId* id) override {
    std::wstring form;
    if (!PathForm(path, &form)) {
      return false;
    }
    const HANDLE handle =
        CreateFileW(form.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      return false;
    }
    BY_HANDLE_FILE_INFORMATION info;
    const bool known = GetFileInformationByHandle(handle, &info) != 0 &&
                       (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    if (known) {
      *id = {info.dwVolumeSerialNumber,
             (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
    }
    CloseHandle(handle);
    return known;
  }

  // Handles opened with CreateFileW are not bound by the runtime library's
  // table of descriptors.
  std::size_t OpenFileLimit() override { return 16384; }
};

}  // namespace

FileSystem& PlatformFileSystem() {
  static WindowsFileSystem file_system;
  return file_system;
}

std::string NativePath(std::string path) {
  return path;
}

std::string_view ParentFolder(std::string_view path) {
  const std::size_t separator = path.find_last_of("\\/");
  return separator == std::string_view::npos ? std::string_view()
                                             : path.substr(0, separator);
}

}  // namespace tallora
