#include "reports/file_cache.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace tallora {
namespace {

// Past this many entries a memory of paths or folders is forgotten and
// rebuilt, which costs a lookup again but keeps memory bounded whatever the
// export names.
constexpr std::size_t kMostRemembered = std::size_t{1} << 16;

template <typename Map>
void Bound(Map* map) {
  if (map->size() >= kMostRemembered) {
    map->clear();
  }
}

}  // namespace

FileCache::FileCache(FileSystem* file_system, Reporter reporter,
                     std::size_t capacity)
    : file_system_(file_system), reporter_(std::move(reporter)) {
  if (capacity == 0) {
    const std::size_t limit = file_system_->OpenFileLimit();
    capacity = limit > 2 * kReserved ? limit - kReserved : limit / 2;
    capacity = std::min(capacity, kMostOpen);
  }
  capacity_ = std::max<std::size_t>(capacity, 1);
}

FileCache::~FileCache() {
  CloseAll();
}

void FileCache::MakeFolder(const std::string& path) {
  auto [folder, added] = folders_.try_emplace(path, 0);
  if (!added && folder->second == 0) {
    return;
  }
  int error = 0;
  if (!file_system_->MakeFolder(path, &error) && error != EEXIST) {
    folder->second = error;
  } else {
    folder->second = 0;
  }
  if (added) {
    Bound(&folders_);
  }
}

void FileCache::RemakeFolders(const std::string& path, FileResult* result) {
  std::vector<std::string_view> above;
  for (std::string_view folder = ParentFolder(path); !folder.empty();
       folder = ParentFolder(folder)) {
    above.push_back(folder);
  }
  for (auto it = above.rbegin(); it != above.rend(); ++it) {
    const auto folder = folders_.find(std::string(*it));
    if (folder == folders_.end()) {
      continue;
    }
    int error = 0;
    if (!file_system_->MakeFolder(folder->first, &error) && error != EEXIST) {
      folder->second = error;
      if (result->folder.empty()) {
        result->folder = folder->first;
        result->folder_error = error;
      }
    } else {
      folder->second = 0;
    }
  }
}

std::unique_ptr<AppendFile> FileCache::OpenNew(const std::string& path,
                                               FileResult* result) {
  while (true) {
    *result = {};
    std::unique_ptr<AppendFile> file =
        AppendFile::Open(file_system_, path, result);
    if (file != nullptr ||
        (result->error != EMFILE && result->error != ENFILE) ||
        !EvictOldest()) {
      return file;
    }
  }
}

void FileCache::Use(Lru::iterator entry) {
  lru_.splice(lru_.begin(), lru_, entry);
  entry->round = round_;
}

AppendFile* FileCache::Open(const std::string& path, FileResult* result) {
  *result = {};
  if (const auto found = by_path_.find(path); found != by_path_.end()) {
    Use(found->second);
    return lru_.front().file.get();
  }
  std::unique_ptr<AppendFile> file = OpenNew(path, result);
  if (file == nullptr) {
    // A folder may have been removed during the run, or never made.
    FileResult remade;
    RemakeFolders(path, &remade);
    file = OpenNew(path, result);
    if (file == nullptr && result->error == ENOENT) {
      result->folder = remade.folder;
      result->folder_error = remade.folder_error;
    }
    if (file == nullptr) {
      return nullptr;
    }
  }
  const FileId id = file->id();
  const bool known_id = !(id == FileId{});
  if (known_id) {
    if (const auto same = by_id_.find(id); same != by_id_.end()) {
      // Another spelling of an open file's path: lines for either go to the
      // one open file, in the order they come.
      const Lru::iterator entry = same->second;
      (void)file->Close();
      entry->aliases.push_front(path);
      by_path_.emplace(entry->aliases.front(), entry);
      Use(entry);
      return entry->file.get();
    }
    // A file this run left ending in a whole line, at the length it left
    // it: its end needs no look.
    if (const auto known = written_.find(id);
        known != written_.end() && known->second == file->size_at_open()) {
      file->EndKnownWhole();
    }
  }
  while (lru_.size() >= capacity_) {
    Evict(std::prev(lru_.end()));
  }
  lru_.push_front({std::move(file), {}, round_});
  by_path_.emplace(lru_.front().file->path(), lru_.begin());
  if (known_id) {
    by_id_.emplace(id, lru_.begin());
  }
  return lru_.front().file.get();
}

bool FileCache::Identify(const std::string& path, FileId* id, AppendFile** open,
                         FileResult* result) {
  *result = {};
  *open = nullptr;
  if (const auto found = by_path_.find(path); found != by_path_.end()) {
    Use(found->second);
    *open = found->second->file.get();
    *id = (*open)->id();
    return true;
  }
  // Opening now saves a look-up of the file, unless it would close a file
  // this round still needs.
  const bool room = lru_.size() < capacity_ || lru_.back().round != round_;
  if (!room && file_system_->Identify(path, id)) {
    return true;
  }
  *open = Open(path, result);
  if (*open == nullptr) {
    return false;
  }
  *id = (*open)->id();
  return true;
}

void FileCache::Evict(Lru::iterator entry) {
  if (entry->round == round_) {
    round_broken_ = true;
  }
  const FileResult closed = entry->file->Close();
  if (!closed.ok()) {
    reporter_(entry->file->path(), closed);
  }
  by_path_.erase(entry->file->path());
  for (const std::string& alias : entry->aliases) {
    by_path_.erase(alias);
  }
  if (const FileId id = entry->file->id(); !(id == FileId{})) {
    by_id_.erase(id);
    if (const auto known = written_.find(id); known != written_.end()) {
      known->second = closed.ok() && entry->file->ends_whole_line()
                          ? entry->file->size()
                          : kEndUnknown;
    }
  }
  lru_.erase(entry);
}

bool FileCache::EvictOldest() {
  if (lru_.empty()) {
    return false;
  }
  Evict(std::prev(lru_.end()));
  return true;
}

void FileCache::CountWritten(AppendFile* file) {
  if (file->FirstCount() && written_.size() < kMostFilesCounted) {
    written_.try_emplace(file->id(), kEndUnknown);
  }
}

void FileCache::CloseAll() {
  while (EvictOldest()) {
  }
}

}  // namespace tallora
