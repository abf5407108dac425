// The file system seam on POSIX systems.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <span>
#include <string_view>

#include "reports/file_system.h"

namespace tallora {
namespace {

// Pieces handed to one writev call.
constexpr int kMostVectors = 64;

class PosixAppendHandle final : public AppendHandle {
 public:
  using AppendHandle::Append;
  PosixAppendHandle(int fd, FileId id, std::uint64_t size)
      : fd_(fd), id_(id), size_at_open_(size) {}
  ~PosixAppendHandle() override {
    if (fd_ >= 0) {
      ::close(fd_);
    }
  }

  bool Append(std::span<const std::string_view> pieces, std::size_t* written,
              int* error) override {
    *written = 0;
    // The pieces not yet written, the first of them less what of it was.
    std::size_t next = 0;
    std::size_t skip = 0;
    iovec vectors[kMostVectors];
    while (next < pieces.size()) {
      int count = 0;
      for (std::size_t p = next; p < pieces.size() && count < kMostVectors;
           ++p) {
        const std::size_t from = p == next ? skip : 0;
        vectors[count].iov_base = const_cast<char*>(pieces[p].data() + from);
        vectors[count].iov_len = pieces[p].size() - from;
        ++count;
      }
      const ssize_t n = ::writev(fd_, vectors, count);
      if (n < 0 && errno == EINTR) {
        continue;
      }
      if (n < 0 || (n == 0 && vectors[0].iov_len > 0)) {
        *error = n < 0 ? errno : ENOSPC;
        return false;
      }
      *written += static_cast<std::size_t>(n);
      // Step past what went out.
      std::size_t done = static_cast<std::size_t>(n);
      while (next < pieces.size() && done >= pieces[next].size() - skip) {
        done -= pieces[next].size() - skip;
        skip = 0;
        ++next;
      }
      skip += done;
    }
    return true;
  }

  bool Size(std::uint64_t* size, int* error) override {
    struct stat info;
    if (::fstat(fd_, &info) != 0) {
      *error = errno;
      return false;
    }
    *size = static_cast<std::uint64_t>(info.st_size);
    return true;
  }

  bool ReadByte(std::uint64_t offset, char* byte, int* error) override {
    ssize_t n;
    do {
      n = ::pread(fd_, byte, 1, static_cast<off_t>(offset));
    } while (n < 0 && errno == EINTR);
    if (n != 1) {
      *error = n < 0 ? errno : EIO;
      return false;
    }
    return true;
  }

  bool CutBack(std::uint64_t size, int* error) override {
    int result;
    do {
      result = ::ftruncate(fd_, static_cast<off_t>(size));
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
      *error = errno;
      return false;
    }
    return true;
  }

  bool Close(int* error) override {
    const int fd = fd_;
    fd_ = -1;
    // After EINTR the descriptor is gone on Linux; retrying could close
    // another file's.
    if (::close(fd) != 0 && errno != EINTR) {
      *error = errno;
      return false;
    }
    return true;
  }

  FileId id() const override { return id_; }
  std::uint64_t size_at_open() const override { return size_at_open_; }

 private:
  int fd_;
  FileId id_;
  std::uint64_t size_at_open_;
};

class PosixFileSystem final : public FileSystem {
 public:
  bool MakeFolder(const std::string& path, int* error) override {
    if (::mkdir(path.c_str(), 0777) != 0) {
      *error = errno;
      return false;
    }
    return true;
  }

  std::unique_ptr<AppendHandle> OpenForAppend(const std::string& path,
                                              int* error) override {
    int fd;
    do {
      fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
      *error = errno;
      return nullptr;
    }
    FileId id;
    std::uint64_t size = 0;
    struct stat info;
    if (::fstat(fd, &info) == 0) {
      id = {static_cast<std::uint64_t>(info.st_dev),
            static_cast<std::uint64_t>(info.st_ino)};
      size = static_cast<std::uint64_t>(info.st_size);
    }
    return std::make_unique<PosixAppendHandle>(fd, id, size);
  }

  bool IsFolder(const std::string& path) override {
    struct stat info;
    return ::stat(path.empty() ? "." : path.c_str(), &info) == 0 &&
           S_ISDIR(info.st_mode);
  }

  bool Identify(const std::string& path, FileId* id) override {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
      return false;
    }
    *id = {static_cast<std::uint64_t>(info.st_dev),
           static_cast<std::uint64_t>(info.st_ino)};
    return true;
  }

  std::size_t OpenFileLimit() override {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 ||
        limit.rlim_cur == RLIM_INFINITY) {
      return 1024;
    }
    return static_cast<std::size_t>(limit.rlim_cur);
  }
};

}  // namespace

FileSystem& PlatformFileSystem() {
  static PosixFileSystem file_system;
  return file_system;
}

std::string NativePath(std::string path) {
  for (char& c : path) {
    if (c == '\\') {
      c = '/';
    }
  }
  return path;
}

std::string_view ParentFolder(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string_view()
                                         : path.substr(0, slash);
}

}  // namespace tallora
