// Temporary folders and whole-file helpers for tests.
#ifndef TALLORA_TESTS_SUPPORT_TEMP_DIR_H_
#define TALLORA_TESTS_SUPPORT_TEMP_DIR_H_

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tallora::testing {

// A fresh folder, removed with everything in it on destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view relative) const {
    return path_ / relative;
  }

 private:
  std::filesystem::path path_;
};

// The whole content of a file; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);
// Writes `content` as the whole file, making its parent folders.
void WriteFile(const std::filesystem::path& path, std::string_view content);
// Every file and folder below `root`, as sorted relative paths with '/'
// separators; folders end with '/'.
std::vector<std::string> ListTree(const std::filesystem::path& root);

}  // namespace tallora::testing

#endif  // TALLORA_TESTS_SUPPORT_TEMP_DIR_H_
