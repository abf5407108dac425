#include "reports/memory_file_system.h"

#include <cerrno>

namespace tallora {

class MemoryFileSystem::Handle final : public AppendHandle {
 public:
  using AppendHandle::Append;
  Handle(MemoryFileSystem* owner, File* file, FileId id)
      : owner_(owner), file_(file), id_(id), size_at_open_(file->bytes.size()) {
    ++owner_->open_now_;
  }
  ~Handle() override {
    if (open_) {
      --owner_->open_now_;
    }
  }

  bool Append(std::span<const std::string_view> pieces, std::size_t* written,
              int* error) override {
    std::string bytes;
    for (const std::string_view piece : pieces) {
      bytes.append(piece);
    }
    const std::uint64_t room = file_->size_limit > file_->bytes.size()
                                   ? file_->size_limit - file_->bytes.size()
                                   : 0;
    *written = bytes.size() < room ? bytes.size() : room;
    file_->bytes.append(bytes.substr(0, *written));
    owner_->writes_.push_back(file_->path);
    if (*written < bytes.size()) {
      file_->bytes += file_->interloper;
      *error = ENOSPC;
      return false;
    }
    return true;
  }
  bool Size(std::uint64_t* size, [[maybe_unused]] int* error) override {
    *size = file_->bytes.size();
    return true;
  }
  bool ReadByte(std::uint64_t offset, char* byte, int* error) override {
    if (offset >= file_->bytes.size()) {
      *error = EIO;
      return false;
    }
    *byte = file_->bytes[offset];
    return true;
  }
  bool CutBack(std::uint64_t size, int* error) override {
    if (file_->cut_back_error != 0) {
      *error = file_->cut_back_error;
      return false;
    }
    file_->bytes.resize(size);
    return true;
  }
  bool Close(int* error) override {
    open_ = false;
    --owner_->open_now_;
    if (file_->close_error != 0) {
      *error = file_->close_error;
      return false;
    }
    return true;
  }
  FileId id() const override { return id_; }
  std::uint64_t size_at_open() const override { return size_at_open_; }

 private:
  MemoryFileSystem* owner_;
  File* file_;
  FileId id_;
  std::uint64_t size_at_open_;
  bool open_ = true;
};

MemoryFileSystem::MemoryFileSystem() = default;
MemoryFileSystem::~MemoryFileSystem() = default;

std::string MemoryFileSystem::Key(const std::string& path) const {
  std::string key = path;
  for (char& c : key) {
    if (c == '\\') {
      c = '/';
    }
  }
  const auto alias = aliases_.find(key);
  return alias == aliases_.end() ? key : alias->second;
}

int MemoryFileSystem::ParentError(const std::string& key) const {
  const std::size_t slash = key.rfind('/');
  if (slash == std::string::npos) {
    return 0;
  }
  const std::string parent = Key(key.substr(0, slash));
  if (folders_.contains(parent)) {
    return 0;
  }
  if (files_.contains(parent)) {
    return ENOTDIR;
  }
  const int above = ParentError(parent);
  return above == 0 ? ENOENT : above;
}

bool MemoryFileSystem::MakeFolder(const std::string& path, int* error) {
  const std::string key = Key(path);
  if (const auto failure = make_folder_errors_.find(key);
      failure != make_folder_errors_.end()) {
    *error = failure->second;
    return false;
  }
  if (folders_.contains(key) || files_.contains(key)) {
    *error = EEXIST;
    return false;
  }
  if (const int parent = ParentError(key); parent != 0) {
    *error = parent;
    return false;
  }
  folders_[key] = true;
  return true;
}

std::unique_ptr<AppendHandle> MemoryFileSystem::OpenForAppend(
    const std::string& path, int* error) {
  const std::string key = Key(path);
  if (const auto failure = open_errors_.find(key);
      failure != open_errors_.end()) {
    *error = failure->second;
    return nullptr;
  }
  if (folders_.contains(key)) {
    *error = EISDIR;
    return nullptr;
  }
  if (const int parent = ParentError(key); parent != 0) {
    *error = parent;
    return nullptr;
  }
  if (open_now_ >= open_file_limit_) {
    *error = EMFILE;
    return nullptr;
  }
  File* file = FileAt(key);
  ++opens_;
  return std::make_unique<Handle>(this, file, FileId{1, indexes_[file]});
}

MemoryFileSystem::File* MemoryFileSystem::FileAt(const std::string& path) {
  std::unique_ptr<File>& file = files_[Key(path)];
  if (file == nullptr) {
    file = std::make_unique<File>();
    file->path = Key(path);
    indexes_[file.get()] = next_index_++;
  }
  return file.get();
}

bool MemoryFileSystem::Identify(const std::string& path, FileId* id) {
  const auto file = files_.find(Key(path));
  if (file == files_.end()) {
    return false;
  }
  *id = {1, indexes_[file->second.get()]};
  return true;
}

bool MemoryFileSystem::IsFolder(const std::string& path) {
  return path.empty() || folders_.contains(Key(path));
}

void MemoryFileSystem::FailMakeFolder(const std::string& path, int error) {
  if (error == 0) {
    make_folder_errors_.erase(Key(path));
  } else {
    make_folder_errors_[Key(path)] = error;
  }
}

void MemoryFileSystem::FailOpen(const std::string& path, int error) {
  if (error == 0) {
    open_errors_.erase(Key(path));
  } else {
    open_errors_[Key(path)] = error;
  }
}

void MemoryFileSystem::LimitSize(const std::string& path, std::uint64_t size,
                                 std::string interloper) {
  File* file = FileAt(path);
  file->size_limit = size;
  file->interloper = std::move(interloper);
}

void MemoryFileSystem::FailCutBack(const std::string& path, int error) {
  FileAt(path)->cut_back_error = error;
}

void MemoryFileSystem::FailClose(const std::string& path, int error) {
  FileAt(path)->close_error = error;
}

void MemoryFileSystem::Alias(const std::string& alias,
                             const std::string& path) {
  aliases_[Key(alias)] = Key(path);
}

void MemoryFileSystem::AppendAsAnotherProcess(const std::string& path,
                                              const std::string& bytes) {
  FileAt(path)->bytes += bytes;
}

std::string MemoryFileSystem::Contents(const std::string& path) const {
  const auto file = files_.find(Key(path));
  return file == files_.end() ? std::string() : file->second->bytes;
}

bool MemoryFileSystem::HasFile(const std::string& path) const {
  return files_.contains(Key(path));
}

std::vector<std::string> MemoryFileSystem::List() const {
  std::map<std::string, bool> all;
  for (const auto& [path, unused] : folders_) {
    all[path + "/"] = true;
  }
  for (const auto& [path, unused] : files_) {
    all[path] = true;
  }
  std::vector<std::string> list;
  list.reserve(all.size());
  for (const auto& [path, unused] : all) {
    list.push_back(path);
  }
  return list;
}

}  // namespace tallora
