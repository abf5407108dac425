#include "support/report_tree.h"

#include "support/temp_dir.h"

namespace tallora::testing {

Tree Files(const std::filesystem::path& root) {
  Tree files;
  for (const std::string& entry : ListTree(root)) {
    if (!entry.ends_with('/')) {
      files.emplace(entry, ReadFile(root / entry));
    }
  }
  return files;
}

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    lines.emplace_back(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  return lines;
}

}  // namespace tallora::testing
