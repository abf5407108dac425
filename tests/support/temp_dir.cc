#include "support/temp_dir.h"

#include <algorithm>
#include <atomic>
#include <fstream>
#include <random>
#include <sstream>
#include <system_error>

namespace tallora::testing {

TempDir::TempDir() {
  std::error_code ec;
  const std::filesystem::path base = std::filesystem::temp_directory_path(ec);
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    path_ = base / ("tallora-test-" + std::to_string(random()));
    if (std::filesystem::create_directory(path_, ec)) {
      return;
    }
  }
}

TempDir::~TempDir() {
  std::error_code ec;
  // Tests may leave folders without write permission behind.
  for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
       !ec && it != std::filesystem::recursive_directory_iterator();
       it.increment(ec)) {
    std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
  }
  std::filesystem::remove_all(path_, ec);
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void WriteFile(const std::filesystem::path& path, std::string_view content) {
  std::error_code ec;
  std::filesystem::create_directories(path.parent_path(), ec);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

std::vector<std::string> ListTree(const std::filesystem::path& root) {
  std::vector<std::string> entries;
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
       !ec && it != std::filesystem::recursive_directory_iterator();
       it.increment(ec)) {
    std::string relative = it->path().lexically_relative(root).generic_string();
    if (it->is_directory(ec)) {
      relative += '/';
    }
    entries.push_back(std::move(relative));
  }
  std::sort(entries.begin(), entries.end());
  return entries;
}

}  // namespace tallora::testing
