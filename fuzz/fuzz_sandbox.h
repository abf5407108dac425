// A cage for whole runs of the tool inside a fuzz target.
#ifndef TALLORA_FUZZ_FUZZ_SANDBOX_H_
#define TALLORA_FUZZ_FUZZ_SANDBOX_H_

#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>

#include "run/run_loop.h"

namespace tallora::fuzz {

// Two twin working folders <base>/cage/keep_open and <base>/cage/per_append,
// and a sibling <base>/sentinel that must stay empty. Each input is run once
// in each twin, one per file mode; both must leave the same files and say the
// same. Anything found outside the twins, or a difference between them,
// aborts the process so that the fuzzer keeps the input as a finding.
class Sandbox {
 public:
  // Makes a fresh base folder under the temporary folder. Aborts when it
  // cannot.
  Sandbox();
  ~Sandbox();
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  // Writes `bytes` as the file `name` in both twins.
  void Put(std::string_view name, std::string_view bytes);

  // Makes the folder `relative` (and its parents) in both twins; failure is
  // ignored.
  void MakeFolders(const std::string& relative);

  // Runs the tool once in each twin and aborts unless: nothing appeared
  // outside the twins; each exit status is 0 or 1, and 1 exactly when a
  // failure line (not a warning or the summary) was written; every
  // diagnostic is one line "tallora: ..."; and both twins hold the same files
  // with the same bytes, and reported the same files failing. Afterwards
  // removes from both twins every entry not named in `keep`. When `only` is
  // not empty, also aborts if a twin holds an entry outside `keep` and
  // `only` after the run.
  void RunAndCheck(std::initializer_list<std::string_view> keep,
                   std::initializer_list<std::string_view> only = {});

 private:
  struct Outcome {
    int status = 0;
    std::string diagnostics;
  };

  Outcome RunIn(const std::filesystem::path& work, FileMode mode);
  void CheckContained() const;

  std::filesystem::path home_;
  std::filesystem::path base_;
  std::filesystem::path twins_[2];
  std::FILE* console_out_ = nullptr;
  std::FILE* console_in_ = nullptr;
  std::FILE* diagnostics_ = nullptr;
};

// Every file and folder below `root` with the bytes of each file, keyed by
// relative path with '/' separators; folders end with '/'.
std::map<std::string, std::string> Snapshot(const std::filesystem::path& root);

// Prints `what` and `detail` to standard error and aborts.
[[noreturn]] void Fail(std::string_view what, std::string_view detail = {});

}  // namespace tallora::fuzz

#endif  // TALLORA_FUZZ_FUZZ_SANDBOX_H_
