#include "reports/output_files.h"

#include <algorithm>
#include <cassert>
#include <cerrno>

namespace tallora {
namespace {

// Pending bytes of one file are written out once they reach this size.
constexpr std::size_t kPendingLimit = std::size_t{16} * 1024;

}  // namespace

OutputFiles::OutputFiles(FileMode mode, Diagnostics* diagnostics)
    : mode_(mode), diagnostics_(diagnostics) {}

OutputFiles::~OutputFiles() {
  CloseAll();
}

void OutputFiles::MakeFolder(const std::string& path) {
  if (mode_ == FileMode::kKeepOpen && !folders_made_.insert(path).second) {
    return;
  }
  tallora::MakeFolder(path);
}

bool OutputFiles::Append(const std::string& path, std::string_view bytes,
                         std::initializer_list<const std::string*> folders,
                         int* error) {
  FileRef ref;
  return Append(path, bytes, folders, &ref, error);
}

bool OutputFiles::Append(const std::string& path, std::string_view bytes,
                         std::initializer_list<const std::string*> folders,
                         FileRef* ref, int* error) {
  if (mode_ == FileMode::kOpenPerAppend) {
    return AppendPerCall(path, bytes, error);
  }
  return AppendKeepOpen(path, bytes, folders, ref, error);
}

bool OutputFiles::AppendPerCall(const std::string& path, std::string_view bytes,
                                int* error) {
  const int fd = OpenForAppend(path, error);
  if (fd < 0) {
    return false;
  }
  int write_error = 0;
  const bool written = WriteAll(fd, bytes, &write_error);
  int close_error = 0;
  const bool closed = CloseFile(fd, &close_error);
  if (!written) {
    diagnostics_->WriteFailed(path, write_error);
  } else if (!closed) {
    diagnostics_->WriteFailed(path, close_error);
  }
  return true;
}

bool OutputFiles::AppendKeepOpen(
    const std::string& path, std::string_view bytes,
    std::initializer_list<const std::string*> folders, FileRef* ref,
    int* error) {
  OpenFile* file = Lookup(path, folders, ref, error);
  if (file == nullptr) {
    return false;
  }
  file->last_use = ++clock_;
  file->pending.append(bytes);
  if (file->pending.size() >= kPendingLimit && !WritePending(file)) {
    Release(static_cast<std::size_t>(file - files_.data()));
  }
  return true;
}

OutputFiles::OpenFile* OutputFiles::Lookup(
    const std::string& path, std::initializer_list<const std::string*> folders,
    FileRef* ref, int* error) {
  if (ref->serial != 0 && ref->slot < files_.size() &&
      files_[ref->slot].serial == ref->serial) {
    return &files_[ref->slot];
  }
  OpenFile* file = Open(path, folders, error);
  if (file != nullptr) {
    *ref = {static_cast<std::size_t>(file - files_.data()), file->serial};
  }
  return file;
}

OutputFiles::OpenFile* OutputFiles::Open(
    const std::string& path, std::initializer_list<const std::string*> folders,
    int* error) {
  if (const auto found = slot_by_path_.find(path);
      found != slot_by_path_.end()) {
    return &files_[found->second];
  }
  int fd = OpenForAppend(path, error);
  // The process may allow fewer open files than kMaxOpenFiles: close the
  // least recently used ones until the open succeeds.
  while (fd < 0 && (*error == EMFILE || *error == ENFILE) && ReleaseOldest()) {
    fd = OpenForAppend(path, error);
  }
  if (fd < 0 && folders.size() > 0) {
    // A folder remembered as made may have been removed since: make the
    // file's folders again and retry once.
    for (const std::string* folder : folders) {
      tallora::MakeFolder(*folder);
    }
    fd = OpenForAppend(path, error);
  }
  if (fd < 0) {
    return nullptr;
  }
  FileId id;
  const bool has_id = GetFileId(fd, &id);
  if (has_id) {
    // The same file reached by another path (another spelling of a name on a
    // case-blind file system, a link) shares one buffer, so that its lines
    // keep the order in which they were appended.
    const auto same = std::find_if(
        files_.begin(), files_.end(),
        [&](const OpenFile& f) { return f.fd >= 0 && f.id == id; });
    if (same != files_.end()) {
      int ignored = 0;
      CloseFile(fd, &ignored);
      same->aliases.push_back(path);
      slot_by_path_.emplace(path,
                            static_cast<std::size_t>(same - files_.begin()));
      return &*same;
    }
  }
  std::size_t slot = files_.size();
  const auto free_slot = std::find_if(
      files_.begin(), files_.end(), [](const OpenFile& f) { return f.fd < 0; });
  if (free_slot != files_.end()) {
    slot = static_cast<std::size_t>(free_slot - files_.begin());
  } else if (files_.size() >= kMaxOpenFiles) {
    const auto oldest = std::min_element(
        files_.begin(), files_.end(), [](const OpenFile& a, const OpenFile& b) {
          return a.last_use < b.last_use;
        });
    slot = static_cast<std::size_t>(oldest - files_.begin());
    Release(slot);
  } else {
    files_.emplace_back();
  }
  OpenFile& file = files_[slot];
  file.fd = fd;
  file.serial = ++openings_;
  file.id = has_id ? id : FileId{};
  file.path = path;
  file.pending.clear();
  file.aliases.assign(1, path);
  slot_by_path_.emplace(path, slot);
  return &file;
}

bool OutputFiles::WritePending(OpenFile* file) {
  int error = 0;
  const bool written = WriteAll(file->fd, file->pending, &error);
  file->pending.clear();
  if (!written) {
    diagnostics_->WriteFailed(file->path, error);
  }
  return written;
}

void OutputFiles::Release(std::size_t slot) {
  OpenFile& file = files_[slot];
  if (file.fd < 0) {
    return;
  }
  const bool written = file.pending.empty() || WritePending(&file);
  int error = 0;
  if (!CloseFile(file.fd, &error) && written) {
    diagnostics_->WriteFailed(file.path, error);
  }
  file.fd = -1;
  file.serial = 0;
  for (const std::string& alias : file.aliases) {
    slot_by_path_.erase(alias);
  }
  file.aliases.clear();
}

bool OutputFiles::ReleaseOldest() {
  std::size_t oldest = files_.size();
  for (std::size_t slot = 0; slot < files_.size(); ++slot) {
    if (files_[slot].fd >= 0 &&
        (oldest == files_.size() ||
         files_[slot].last_use < files_[oldest].last_use)) {
      oldest = slot;
    }
  }
  if (oldest == files_.size()) {
    return false;
  }
  Release(oldest);
  return true;
}

void OutputFiles::Flush() {
  for (std::size_t slot = 0; slot < files_.size(); ++slot) {
    OpenFile& file = files_[slot];
    if (file.fd >= 0 && !file.pending.empty() && !WritePending(&file)) {
      // Reopen on the next append rather than keep a failing descriptor.
      Release(slot);
    }
  }
}

void OutputFiles::CloseAll() {
  for (std::size_t slot = 0; slot < files_.size(); ++slot) {
    Release(slot);
  }
  files_.clear();
  slot_by_path_.clear();
}

}  // namespace tallora
