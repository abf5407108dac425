// Report trees and files as tests compare them: by path, and by line.
#ifndef TALLORA_TESTS_SUPPORT_REPORT_TREE_H_
#define TALLORA_TESTS_SUPPORT_REPORT_TREE_H_

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tallora::testing {

// Every file below a folder with its bytes, keyed by relative path with '/'
// separators.
using Tree = std::map<std::string, std::string>;

Tree Files(const std::filesystem::path& root);

// The lines of `text` without their line feeds; a last line without one
// counts too.
std::vector<std::string> Lines(std::string_view text);

}  // namespace tallora::testing

#endif  // TALLORA_TESTS_SUPPORT_REPORT_TREE_H_
