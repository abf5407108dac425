#include "reports/commit.h"

#include <algorithm>
#include <cerrno>
#include <new>
#include <tuple>
#include <utility>

namespace tallora {
namespace {

// Paths kept between commits: about as many as files kept open.
constexpr std::size_t kMostPathsKept = FileCache::kMostOpen;

}  // namespace

void CommitLog::Batch::Clear() {
  folders.clear();
  files.clear();
  entries.clear();
  bytes.clear();
  open_failures.clear();
  reports.clear();
  lines_written = 0;
  // One huge block may have grown the buffer; give that memory back.
  if (bytes.capacity() > 2 * kBudget) {
    bytes.shrink_to_fit();
  }
}

CommitLog::CommitLog(FileSystem* file_system, FileMode mode,
                     Diagnostics* diagnostics, std::size_t open_files)
    : file_system_(file_system),
      mode_(mode),
      diagnostics_(diagnostics),
      current_(std::make_unique<Batch>()),
      other_(std::make_unique<Batch>()),
      cache_(
          file_system,
          [this](const std::string& path, const FileResult& result) {
            Keep(path, FileKind::kNode, result, writing_);
          },
          open_files) {
  if (mode_ == FileMode::kKeepOpen) {
    // Room for a commit's lines and a block's more, made once, so that the
    // buffers are not copied as they grow.
    current_->bytes.reserve(kBudget + kBudget / 4);
    other_->bytes.reserve(kBudget + kBudget / 4);
    writer_ = std::thread([this] { WriterLoop(); });
  }
}

CommitLog::~CommitLog() {
  Close();
  if (writer_.joinable()) {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      quit_ = true;
    }
    handed_.notify_one();
    writer_.join();
  }
}

void CommitLog::MakeFolder(const std::string& path) {
  if (mode_ == FileMode::kOpenPerAppend) {
    int ignored = 0;
    file_system_->MakeFolder(path, &ignored);
    return;
  }
  current_->folders.push_back(path);
}

void CommitLog::Keep(const std::string& path, FileKind kind,
                     const FileResult& result, Batch* batch) {
  if (result.ok() && !result.mended) {
    return;
  }
  if (kind == FileKind::kDhe && result.failure == FileResult::Failure::kOpen &&
      !file_system_->IsFolder(std::string(ParentFolder(path)))) {
    return;  // no dhe folder: DHE reports are off
  }
  if (batch == nullptr) {
    diagnostics_->FileFailed(path, result);
  } else {
    batch->reports.push_back({path, result});
  }
}

void CommitLog::Count(AppendFile* file, std::size_t lines,
                      const FileResult& result, Batch* batch) {
  if (result.ok()) {
    (batch == nullptr ? lines_written_ : batch->lines_written) += lines;
  }
  cache_.CountWritten(file);
}

void CommitLog::AppendNow(const std::string& path, FileKind kind,
                          std::string_view lines, std::size_t line_count) {
  FileResult result;
  std::unique_ptr<AppendFile> file =
      AppendFile::Open(file_system_, path, &result);
  if (file == nullptr) {
    result.lines_lost = line_count;
    Keep(path, kind, result, nullptr);
    return;
  }
  result = file->Write(lines);
  Count(file.get(), line_count, result, nullptr);
  Keep(path, kind, result, nullptr);
  Keep(path, kind, file->Close(), nullptr);
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
    auto found = file_index_.find(path);
    if (found == file_index_.end()) {
      files_.push_back({std::make_shared<const std::string>(path), kind});
      found = file_index_
                  .emplace(*files_.back().path,
                           static_cast<std::uint32_t>(files_.size() - 1))
                  .first;
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
  Batch& batch = *current_;
  if (!batch.entries.empty() && batch.entries.back().slot == file.slot) {
    batch.entries.back().length += static_cast<std::uint32_t>(size);
    batch.entries.back().lines += static_cast<std::uint32_t>(line_count);
  } else {
    batch.entries.push_back({file.slot, static_cast<std::uint32_t>(size),
                             static_cast<std::uint32_t>(batch.bytes.size()),
                             static_cast<std::uint32_t>(line_count)});
  }
  for (const std::string_view piece : pieces) {
    batch.bytes.append(piece);
  }
  if (batch.bytes.size() >= 2 * kBudget) {
    Commit();
  }
}

void CommitLog::ReportFound(Batch* batch) {
  for (const Reported& reported : batch->reports) {
    diagnostics_->FileFailed(reported.path, reported.result);
  }
  lines_written_ += batch->lines_written;
  batch->Clear();
}

void CommitLog::WaitForWriter() {
  std::unique_lock<std::mutex> lock(mutex_);
  done_.wait(lock, [this] { return !busy_; });
  if (failure_) {
    std::rethrow_exception(std::exchange(failure_, nullptr));
  }
  lock.unlock();
  ReportFound(other_.get());
}

void CommitLog::Commit() {
  if (mode_ == FileMode::kOpenPerAppend) {
    return;
  }
  WaitForWriter();
  Batch& batch = *current_;
  for (const std::uint32_t index : touched_) {
    batch.files.push_back({files_[index].path, files_[index].kind});
  }
  touched_.clear();
  ++commit_;
  // The table of paths grows with every file named; past a bound it starts
  // afresh, and writers' references to it with it.
  if (files_.size() >= kMostPathsKept) {
    file_index_.clear();  // before the paths its keys are views of
    files_.clear();
    ++table_;
  }
  if (batch.empty()) {
    batch.Clear();
    return;
  }
  std::swap(current_, other_);
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    busy_ = true;
  }
  handed_.notify_one();
}

void CommitLog::Flush() {
  Commit();
  if (mode_ == FileMode::kKeepOpen) {
    WaitForWriter();
  }
}

void CommitLog::Close() {
  Flush();
  // No batch is being written: the writer thread waits for the next one.
  writing_ = nullptr;
  cache_.CloseAll();
}

void CommitLog::WriterLoop() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (true) {
    handed_.wait(lock, [this] { return busy_ || quit_; });
    if (quit_) {
      return;
    }
    lock.unlock();
    try {
      WriteBatch(other_.get());
    } catch (const std::bad_alloc&) {
      failure_ = std::current_exception();
    }
    lock.lock();
    busy_ = false;
    done_.notify_one();
  }
}

void CommitLog::WriteBatch(Batch* batch) {
  writing_ = batch;
  cache_.StartRound();
  for (const std::string& folder : batch->folders) {
    cache_.MakeFolder(folder);
  }
  // Paths that reach one file share a group, so that its lines keep the
  // order they were made in; each group's entries are taken in log order.
  std::vector<std::uint32_t> group_of;
  std::vector<Group> groups = GroupFiles(batch, &group_of);
  const std::vector<std::size_t> order =
      OrderEntries(*batch, group_of, &groups);
  // Node and DHE files first, those still open before those to open again,
  // so that files written are the ones closed to make room; shift summary
  // files last.
  std::vector<const Group*> closed;
  for (const Group& group : groups) {
    if (group.kind == FileKind::kShift) {
      continue;
    }
    const bool open = cache_.round_intact()
                          ? group.file != nullptr
                          : cache_.IsOpen(*batch->files[group.first_slot].path);
    if (open) {
      WriteGroup(group, order, batch);
    } else {
      closed.push_back(&group);
    }
  }
  for (const Group* group : closed) {
    WriteGroup(*group, order, batch);
  }
  for (const Group& group : groups) {
    if (group.kind == FileKind::kShift) {
      WriteGroup(group, order, batch);
    }
  }
  scratch_.clear();
  if (scratch_.capacity() > kBudget) {
    scratch_.shrink_to_fit();
  }
}

std::vector<CommitLog::Group> CommitLog::GroupFiles(
    Batch* batch, std::vector<std::uint32_t>* group_of) {
  const auto slots = static_cast<std::uint32_t>(batch->files.size());
  std::vector<Group> groups;
  std::vector<std::uint32_t> failure_of(slots, Group::kOpened);
  std::vector<AppendFile*> open(slots, nullptr);
  // The known identities, with their slots; sorted, each run of one
  // identity starts at its first slot.
  std::vector<std::pair<FileId, std::uint32_t>> ids;
  ids.reserve(slots);
  for (std::uint32_t slot = 0; slot < slots; ++slot) {
    FileId id;
    FileResult result;
    if (!cache_.Identify(*batch->files[slot].path, &id, &open[slot], &result)) {
      failure_of[slot] =
          static_cast<std::uint32_t>(batch->open_failures.size());
      batch->open_failures.push_back(std::move(result));
    } else if (!(id == FileId{})) {
      ids.emplace_back(id, slot);
    }
  }
  std::sort(ids.begin(), ids.end(), [](const auto& a, const auto& b) {
    return std::tie(a.first.device, a.first.index, a.second) <
           std::tie(b.first.device, b.first.index, b.second);
  });
  std::vector<std::uint32_t> first_slot(slots);
  for (std::uint32_t slot = 0; slot < slots; ++slot) {
    first_slot[slot] = slot;
  }
  for (std::size_t i = 1; i < ids.size(); ++i) {
    if (ids[i].first == ids[i - 1].first) {
      first_slot[ids[i].second] = first_slot[ids[i - 1].second];
    }
  }
  group_of->assign(slots, 0);
  for (std::uint32_t slot = 0; slot < slots; ++slot) {
    if (first_slot[slot] != slot) {
      (*group_of)[slot] = (*group_of)[first_slot[slot]];
      continue;
    }
    (*group_of)[slot] = static_cast<std::uint32_t>(groups.size());
    groups.push_back(
        {slot, batch->files[slot].kind, failure_of[slot], open[slot]});
  }
  return groups;
}

std::vector<std::size_t> CommitLog::OrderEntries(
    const Batch& batch, const std::vector<std::uint32_t>& group_of,
    std::vector<Group>* groups) {
  std::vector<std::size_t> order(batch.entries.size());
  for (const Entry& entry : batch.entries) {
    ++(*groups)[group_of[entry.slot]].entry_count;
  }
  std::size_t next = 0;
  for (Group& group : *groups) {
    group.first_entry = next;
    next += group.entry_count;
    group.entry_count = 0;
  }
  for (std::size_t e = 0; e < batch.entries.size(); ++e) {
    Group& group = (*groups)[group_of[batch.entries[e].slot]];
    order[group.first_entry + group.entry_count++] = e;
  }
  return order;
}

AppendFile* CommitLog::OpenFile(const Group& group, const Batch& batch,
                                FileResult* result) {
  if (group.file != nullptr && cache_.round_intact()) {
    return group.file;
  }
  return cache_.Open(*batch.files[group.first_slot].path, result);
}

void CommitLog::WriteGroup(const Group& group,
                           const std::vector<std::size_t>& order,
                           Batch* batch) {
  // The group's lines gathered into one piece: one write of many small
  // pieces costs the system more than the copy.
  std::string_view lines;
  std::size_t line_count = 0;
  if (group.entry_count == 1) {
    const Entry& entry = batch->entries[order[group.first_entry]];
    lines = std::string_view(batch->bytes).substr(entry.offset, entry.length);
    line_count = entry.lines;
  } else {
    scratch_.clear();
    for (std::size_t i = 0; i < group.entry_count; ++i) {
      const Entry& entry = batch->entries[order[group.first_entry + i]];
      scratch_.append(batch->bytes, entry.offset, entry.length);
      line_count += entry.lines;
    }
    lines = scratch_;
  }
  const std::string& path = *batch->files[group.first_slot].path;
  FileResult result;
  if (group.failure != Group::kOpened) {
    result = batch->open_failures[group.failure];
  }
  AppendFile* file = nullptr;
  if (result.ok()) {
    file = OpenFile(group, *batch, &result);
  }
  if (file == nullptr) {
    result.lines_lost = line_count;
  } else {
    result = file->Write(lines);
    Count(file, line_count, result, batch);
  }
  Keep(path, group.kind, result, batch);
}

}  // namespace tallora
