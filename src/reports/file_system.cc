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

std::string NativePath(std::string path) {
  return path;
}

bool MakeFolder(const std::string& path) {
  return _mkdir(path.c_str()) == 0;
}

int OpenForAppend(const std::string& path, int* error) {
  const int fd =
      _open(path.c_str(), _O_WRONLY | _O_APPEND | _O_CREAT | _O_BINARY,
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
