#include "fuzz_sandbox.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <system_error>

#include "support/split_diagnostics.h"

namespace tallora::fuzz {
namespace {

namespace fs = std::filesystem;

constexpr FileMode kModes[2] = {FileMode::kKeepOpen, FileMode::kOpenPerAppend};

std::FILE* OpenOrFail(const char* path, const char* mode) {
  std::FILE* file = std::fopen(path, mode);
  if (file == nullptr) {
    Fail("cannot open", path);
  }
  return file;
}

std::set<std::string> Entries(const fs::path& folder) {
  std::set<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    names.insert(it->path().filename().string());
  }
  if (ec) {
    Fail("cannot list", folder.string());
  }
  return names;
}

void RemoveAllBut(const fs::path& folder,
                  std::initializer_list<std::string_view> keep) {
  for (const std::string& name : Entries(folder)) {
    bool kept = false;
    for (const std::string_view k : keep) {
      kept = kept || name == k;
    }
    std::error_code ec;
    if (!kept) {
      fs::remove_all(folder / name, ec);
    }
    if (ec) {
      Fail("cannot clean", (folder / name).string());
    }
  }
}

bool IsDiagnosticLine(std::string_view line) {
  return line.starts_with("tallora: ") && line.size() > 9;
}

// The diagnostics are one line each: no line may be empty or lack the tool's
// name, as a line end inside a reported name would give.
void CheckDiagnostics(std::string_view text) {
  if (!text.empty() && !text.ends_with('\n')) {
    Fail("diagnostics do not end with a line feed", text);
  }
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    if (!IsDiagnosticLine(text.substr(0, end))) {
      Fail("diagnostic is not one line", text);
    }
    text.remove_prefix(end + 1);
  }
}

// The distinct diagnostics of a run, each without its count of lost lines:
// one mode reports a file once per commit, the other once per line, and
// they report files in another order.
std::set<std::string> DistinctFailures(std::string_view text) {
  std::set<std::string> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string line(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    const std::size_t count = line.find(", ");
    const std::size_t lost = line.find(" lost: ");
    if (count != std::string::npos && lost != std::string::npos &&
        count < lost) {
      line.erase(count, lost + 5 - count);
    }
    lines.insert(std::move(line));
  }
  return lines;
}

}  // namespace

void Fail(std::string_view what, std::string_view detail) {
  std::fprintf(stderr, "fuzz sandbox: %.*s: %.*s\n",
               static_cast<int>(what.size()), what.data(),
               static_cast<int>(detail.size()), detail.data());
  std::abort();
}

Sandbox::Sandbox() {
  std::error_code ec;
  home_ = fs::current_path(ec);
  std::string pattern =
      (fs::temp_directory_path(ec) / "tallora-fuzz-XXXXXX").string();
  if (ec || ::mkdtemp(pattern.data()) == nullptr) {
    Fail("cannot make a temporary folder", pattern);
  }
  base_ = pattern;
  twins_[0] = base_ / "cage" / "keep_open";
  twins_[1] = base_ / "cage" / "per_append";
  for (const fs::path& folder : {twins_[0], twins_[1], base_ / "sentinel"}) {
    if (!fs::create_directories(folder, ec)) {
      Fail("cannot make", folder.string());
    }
  }
  console_out_ = OpenOrFail("/dev/null", "wb");
  console_in_ = OpenOrFail("/dev/null", "rb");
  diagnostics_ = std::tmpfile();
  if (diagnostics_ == nullptr) {
    Fail("cannot make a temporary file", "diagnostics");
  }
}

Sandbox::~Sandbox() {
  std::fclose(console_out_);
  std::fclose(console_in_);
  std::fclose(diagnostics_);
  std::error_code ec;
  fs::remove_all(base_, ec);
}

void Sandbox::Put(std::string_view name, std::string_view bytes) {
  for (const fs::path& twin : twins_) {
    std::ofstream out(twin / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
      Fail("cannot write", (twin / name).string());
    }
  }
}

void Sandbox::MakeFolders(const std::string& relative) {
  for (const fs::path& twin : twins_) {
    std::error_code ec;
    fs::create_directories(twin / relative, ec);
  }
}

void Sandbox::RunAndCheck(std::initializer_list<std::string_view> keep,
                          std::initializer_list<std::string_view> only) {
  const Outcome first = RunIn(twins_[0], kModes[0]);
  const Outcome second = RunIn(twins_[1], kModes[1]);
  CheckContained();
  if (only.size() > 0) {
    for (const fs::path& twin : twins_) {
      for (const std::string& name : Entries(twin)) {
        bool allowed = false;
        for (const auto& list : {keep, only}) {
          for (const std::string_view k : list) {
            allowed = allowed || name == k;
          }
        }
        if (!allowed) {
          Fail("written outside the output root", (twin / name).string());
        }
      }
    }
  }
  if (first.status != second.status) {
    Fail("exit status differs between file modes");
  }
  if (DistinctFailures(first.diagnostics) !=
      DistinctFailures(second.diagnostics)) {
    Fail("diagnostics differ between file modes",
         first.diagnostics + "----\n" + second.diagnostics);
  }
  const auto kept_open = Snapshot(twins_[0]);
  const auto per_append = Snapshot(twins_[1]);
  if (kept_open != per_append) {
    std::string detail;
    for (const auto& [path, bytes] : kept_open) {
      const auto other = per_append.find(path);
      if (other == per_append.end() || other->second != bytes) {
        detail = path;
        break;
      }
    }
    if (detail.empty()) {
      detail = per_append.rbegin()->first + " only with a file per append";
    }
    Fail("files differ between file modes", detail);
  }
  for (const fs::path& twin : twins_) {
    RemoveAllBut(twin, keep);
  }
}

Sandbox::Outcome Sandbox::RunIn(const fs::path& work, FileMode mode) {
  std::error_code ec;
  fs::current_path(work, ec);
  if (ec) {
    Fail("cannot enter", work.string());
  }
  if (::ftruncate(::fileno(diagnostics_), 0) != 0) {
    Fail("cannot empty the diagnostics file");
  }
  std::rewind(diagnostics_);
  RunOptions options;
  options.file_mode = mode;
  options.console_out = console_out_;
  options.console_in = console_in_;
  options.diagnostics = diagnostics_;
  Outcome outcome;
  outcome.status = Run(options);
  // The engine names corpus files and findings relative to its own folder.
  fs::current_path(home_, ec);
  if (ec) {
    Fail("cannot go back to", home_.string());
  }

  std::fflush(diagnostics_);
  std::rewind(diagnostics_);
  char chunk[4096];
  for (std::size_t n;
       (n = std::fread(chunk, 1, sizeof chunk, diagnostics_)) > 0;) {
    outcome.diagnostics.append(chunk, n);
  }
  if (outcome.status != 0 && outcome.status != 1) {
    Fail("exit status neither 0 nor 1");
  }
  CheckDiagnostics(outcome.diagnostics);
  // The summary names the twin's own folder; warnings never set the status.
  std::string warnings;
  std::string summary;
  outcome.diagnostics =
      testing::SplitDiagnostics(outcome.diagnostics, &warnings, &summary);
  if ((outcome.status == 1) != !outcome.diagnostics.empty()) {
    Fail("exit status does not match the failure lines", outcome.diagnostics);
  }
  return outcome;
}

void Sandbox::CheckContained() const {
  if (Entries(base_) != std::set<std::string>{"cage", "sentinel"} ||
      Entries(base_ / "cage") !=
          std::set<std::string>{"keep_open", "per_append"} ||
      !Entries(base_ / "sentinel").empty()) {
    Fail("written outside the working folder", base_.string());
  }
}

std::map<std::string, std::string> Snapshot(const fs::path& root) {
  std::map<std::string, std::string> entries;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end;
       it.increment(ec)) {
    std::string relative = it->path().lexically_relative(root).generic_string();
    if (it->is_directory(ec)) {
      entries.emplace(relative + '/', std::string());
      continue;
    }
    std::ifstream in(it->path(), std::ios::binary);
    entries.emplace(std::move(relative),
                    std::string(std::istreambuf_iterator<char>(in), {}));
  }
  return entries;
}

}  // namespace tallora::fuzz
