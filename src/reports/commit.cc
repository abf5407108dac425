#include "reports/commit.h"

#include <algorithm>
#include <cerrno>

#include "reports/append_file.h"

namespace tallora {
namespace {

// Paths kept between commits: about as many as files kept open.
constexpr std::size_t kMostPathsKept = FileCache::kMostOpen;

}  // namespace

CommitLog::CommitLog(FileSystem* file_system, FileMode mode,
                     Diagnostics* diagnostics, std::size_t open_files)
    : file_system_(file_system),
      mode_(mode),
      diagnostics_(diagnostics),
      cache_(
          file_system,
          [this](const std::string& path, const FileResult& result) {
            diagnostics_->FileFailed(path, result);
          },
          open_files) {}

CommitLog::~CommitLog() {
  Close();
}

void CommitLog::MakeFolder(const std::string& path) {
  if (mode_ == FileMode::kOpenPerAppend) {
    int ignored = 0;
    file_system_->MakeFolder(path, &ignored);
    return;
  }
  cache_.MakeFolder(path);
}

void CommitLog::Report(const std::string& path, FileKind kind,
                       const FileResult& result) {
  if (result.ok() && !result.mended) {
    return;
  }
  if (kind == FileKind::kDhe && result.failure == FileResult::Failure::kOpen &&
      !file_system_->IsFolder(std::string(ParentFolder(path)))) {
    return;  // no dhe folder: DHE reports are off
  }
  diagnostics_->FileFailed(path, result);
}

void CommitLog::Count(AppendFile* file, std::size_t lines,
                      const FileResult& result) {
  if (result.ok()) {
    lines_written_ += lines;
  }
  if (file->FirstCount() && files_written_.size() < kMostFilesCounted) {
    files_written_.insert(file->id());
  }
}

void CommitLog::AppendNow(const std::string& path, FileKind kind,
                          std::string_view lines, std::size_t line_count) {
  FileResult result;
  std::unique_ptr<AppendFile> file =
      AppendFile::Open(file_system_, path, &result);
  if (file == nullptr) {
    result.lines_lost = line_count;
    Report(path, kind, result);
    return;
  }
  result = file->Write(lines);
  Count(file.get(), line_count, result);
  Report(path, kind, result);
  Report(path, kind, file->Close());
}

void CommitLog::Append(const std::string& path, FileKind kind,
                       std::initializer_list<std::string_view> pieces,
                       std::size_t line_count, FileRef* ref) {
  std::size_t size = 0;
  for (const std::string_view piece : pieces) {
    size += piece.size();
  }
  if (mode_ == FileMode::kOpenPerAppend) {
    std::string lines;
    lines.reserve(size);
    for (const std::string_view piece : pieces) {
      lines.append(piece);
    }
    AppendNow(path, kind, lines, line_count);
    return;
  }
  if (ref->table != table_) {
    auto [found, added] = file_index_.try_emplace(
        path, static_cast<std::uint32_t>(files_.size()));
    if (added) {
      files_.push_back({path, kind});
    }
    *ref = {found->second, table_};
  }
  LoggedFile& file = files_[ref->index];
  if (file.commit != commit_) {
    file.commit = commit_;
    file.slot = static_cast<std::uint32_t>(touched_.size());
    touched_.push_back(ref->index);
  }
  if (size == 0) {
    return;
  }
  if (!entries_.empty() && entries_.back().slot == file.slot) {
    entries_.back().length += static_cast<std::uint32_t>(size);
    entries_.back().lines += line_count;
  } else {
    entries_.push_back({file.slot, static_cast<std::uint32_t>(size),
                        bytes_.size(), line_count});
  }
  for (const std::string_view piece : pieces) {
    bytes_.append(piece);
  }
  if (bytes_.size() >= 2 * kBudget) {
    Commit();
  }
}

std::vector<CommitLog::Group> CommitLog::GroupFiles(
    std::vector<std::uint32_t>* group_of) {
  std::vector<Group> groups;
  group_of->assign(touched_.size(), 0);
  std::unordered_map<FileId, std::uint32_t, FileIdHash> group_by_id;
  for (std::uint32_t slot = 0; slot < touched_.size(); ++slot) {
    const LoggedFile& file = files_[touched_[slot]];
    FileId id;
    FileResult result;
    const bool opened = cache_.Identify(file.path, &id, &result);
    if (opened && !(id == FileId{})) {
      const auto [same, added] = group_by_id.try_emplace(
          id, static_cast<std::uint32_t>(groups.size()));
      if (!added) {
        (*group_of)[slot] = same->second;
        continue;
      }
    }
    (*group_of)[slot] = static_cast<std::uint32_t>(groups.size());
    groups.push_back({slot, file.kind, opened ? FileResult{} : result});
  }
  return groups;
}

std::vector<std::size_t> CommitLog::OrderEntries(
    const std::vector<std::uint32_t>& group_of, std::vector<Group>* groups) {
  std::vector<std::size_t> order(entries_.size());
  for (const Entry& entry : entries_) {
    ++(*groups)[group_of[entry.slot]].entry_count;
  }
  std::size_t next = 0;
  for (Group& group : *groups) {
    group.first_entry = next;
    next += group.entry_count;
    group.entry_count = 0;
  }
  for (std::size_t e = 0; e < entries_.size(); ++e) {
    Group& group = (*groups)[group_of[entries_[e].slot]];
    order[group.first_entry + group.entry_count++] = e;
  }
  return order;
}

void CommitLog::WriteGroup(const Group& group,
                           const std::vector<std::size_t>& order) {
  // The group's lines gathered into one piece: one write of many small
  // pieces costs the system more than the copy.
  std::string_view lines;
  std::size_t line_count = 0;
  if (group.entry_count == 1) {
    const Entry& entry = entries_[order[group.first_entry]];
    lines = std::string_view(bytes_).substr(entry.offset, entry.length);
    line_count = entry.lines;
  } else {
    scratch_.clear();
    for (std::size_t i = 0; i < group.entry_count; ++i) {
      const Entry& entry = entries_[order[group.first_entry + i]];
      scratch_.append(bytes_, entry.offset, entry.length);
      line_count += entry.lines;
    }
    lines = scratch_;
  }
  const std::string& path = files_[touched_[group.first_slot]].path;
  FileResult result = group.failure;
  AppendFile* file = nullptr;
  if (result.ok()) {
    file = cache_.Open(path, &result);
  }
  if (file == nullptr) {
    result.lines_lost = line_count;
  } else {
    result = file->Write(lines);
    Count(file, line_count, result);
  }
  Report(path, group.kind, result);
}

void CommitLog::Commit() {
  if (touched_.empty()) {
    return;
  }
  // Paths that reach one file share a group, so that its lines keep the
  // order they were made in; each group's entries are taken in log order.
  std::vector<std::uint32_t> group_of;
  std::vector<Group> groups = GroupFiles(&group_of);
  const std::vector<std::size_t> order = OrderEntries(group_of, &groups);
  // Node and DHE files first, those still open before those to open again,
  // so that files written are the ones closed to make room; shift summary
  // files last.
  std::vector<const Group*> closed;
  for (const Group& group : groups) {
    if (group.kind == FileKind::kShift) {
      continue;
    }
    if (cache_.IsOpen(files_[touched_[group.first_slot]].path)) {
      WriteGroup(group, order);
    } else {
      closed.push_back(&group);
    }
  }
  for (const Group* group : closed) {
    WriteGroup(*group, order);
  }
  for (const Group& group : groups) {
    if (group.kind == FileKind::kShift) {
      WriteGroup(group, order);
    }
  }

  ++commit_;
  touched_.clear();
  // The table of paths grows with every file named; past a bound it starts
  // afresh, and writers' references to it with it.
  if (files_.size() >= kMostPathsKept) {
    files_.clear();
    file_index_.clear();
    ++table_;
  }
  entries_.clear();
  bytes_.clear();
  scratch_.clear();
  // One huge block may have grown the buffers; give that memory back.
  if (bytes_.capacity() > 2 * kBudget) {
    bytes_.shrink_to_fit();
  }
  if (scratch_.capacity() > kBudget) {
    scratch_.shrink_to_fit();
  }
}

void CommitLog::Close() {
  Commit();
  cache_.CloseAll();
}

}  // namespace tallora
