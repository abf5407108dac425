#include "reports/file_system.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tallora {

#ifdef _WIN32

namespace {

// Paths are 8-bit text in the ANSI code page, as the runtime library's char
// functions take them. Returns false, with errno set, when `path` cannot be
// converted.
bool Widen(std::string_view path, std::wstring* wide) {
  wide->clear();
  if (path.empty()) {
    return true;
  }
  const int size = static_cast<int>(path.size());
  const int length =
      MultiByteToWideChar(CP_ACP, 0, path.data(), size, nullptr, 0);
  if (length <= 0) {
    errno = EINVAL;
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

// The path in the form the wide runtime functions take at any length. A path
// whose full form is longer than kShortPathMost (a long output root or a
// deep working folder reach that easily) is given as that full form with
// the \\?\ prefix, which lifts the limit. GetFullPathNameW makes the full
// form with the normalisation the plain functions apply (. and .. segments,
// / as a separator, trailing dots and spaces of the last name, device
// names), so the long form names what the short one would. Returns false,
// with errno set, when the path cannot be converted.
bool PathForm(const std::string& path, std::wstring* form) {
  if (!Widen(path, form)) {
    return false;
  }
  if (form->empty()) {
    return true;
  }
  const DWORD needed = GetFullPathNameW(form->c_str(), 0, nullptr, nullptr);
  if (needed == 0) {
    return true;  // the runtime function reports the path
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

}  // namespace

std::string NativePath(std::string path) {
  return path;
}

bool MakeFolder(const std::string& path) {
  std::wstring form;
  return PathForm(path, &form) && _wmkdir(form.c_str()) == 0;
}

int OpenForAppend(const std::string& path, int* error) {
  std::wstring form;
  if (!PathForm(path, &form)) {
    *error = errno;
    return -1;
  }
  const int fd =
      _wopen(form.c_str(), _O_WRONLY | _O_APPEND | _O_CREAT | _O_BINARY,
             _S_IREAD | _S_IWRITE);
  if (fd < 0) {
    *error = errno;
  }
  return fd;
}

bool WriteAll(int fd, std::string_view bytes, int* error) {
  constexpr std::size_t kMostPerCall = 1u << 30;
  while (!bytes.empty()) {
    const std::size_t n =
        bytes.size() < kMostPerCall ? bytes.size() : kMostPerCall;
    const int written = _write(fd, bytes.data(), static_cast<unsigned>(n));
    if (written <= 0) {
      *error = written < 0 ? errno : ENOSPC;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

bool CloseFile(int fd, int* error) {
  if (_close(fd) != 0) {
    *error = errno;
    return false;
  }
  return true;
}

bool GetFileId(int fd, FileId* id) {
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  BY_HANDLE_FILE_INFORMATION info;
  if (handle == INVALID_HANDLE_VALUE ||
      GetFileInformationByHandle(handle, &info) == 0) {
    return false;
  }
  id->device = info.dwVolumeSerialNumber;
  id->index = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  return true;
}

#else

std::string NativePath(std::string path) {
  for (char& c : path) {
    if (c == '\\') {
      c = '/';
    }
  }
  return path;
}

bool MakeFolder(const std::string& path) {
  return ::mkdir(path.c_str(), 0777) == 0;
}

int OpenForAppend(const std::string& path, int* error) {
  int fd;
  do {
    fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    *error = errno;
  }
  return fd;
}

bool WriteAll(int fd, std::string_view bytes, int* error) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) {
      continue;
    }
    if (written <= 0) {
      *error = written < 0 ? errno : ENOSPC;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

bool CloseFile(int fd, int* error) {
  if (::close(fd) != 0 && errno != EINTR) {
    *error = errno;
    return false;
  }
  return true;
}

bool GetFileId(int fd, FileId* id) {
  struct stat info;
  if (::fstat(fd, &info) != 0) {
    return false;
  }
  id->device = static_cast<std::uint64_t>(info.st_dev);
  id->index = static_cast<std::uint64_t>(info.st_ino);
  return true;
}

#endif

std::string ErrorText(int error) {
  return std::strerror(error);
}

}  // namespace tallora
