#include "reports/report_path.h"

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <system_error>

#include "reports/file_system.h"

namespace tallora {

std::string OutputPath(std::string_view root,
                       std::initializer_list<std::string_view> parts) {
  std::string path(root);
  bool first = true;
  for (const std::string_view part : parts) {
    if (!first) {
      path += '\\';
    }
    path.append(part);
    first = false;
  }
  return NativePath(std::move(path));
}

std::string ResolvedRoot(std::string_view root) {
  std::string native = NativePath(std::string(root));
  std::error_code error;
  if (native.empty()) {
    // The working folder, with its separator, as a root meant as a folder.
    std::string folder = std::filesystem::current_path(error).string();
    if (error) {
      return native;
    }
    const char separator =
        static_cast<char>(std::filesystem::path::preferred_separator);
    if (!folder.empty() && folder.back() != separator) {
      folder += separator;
    }
    return folder;
  }
  std::string resolved = std::filesystem::absolute(native, error).string();
  return error ? native : resolved;
}

bool IsUsableName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") {
    return false;
  }
  return std::ranges::none_of(name, [](char c) {
    return static_cast<unsigned char>(c) < 0x20 ||
           std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos;
  });
}

std::optional<TextSlot<9>> DateFolderName(std::string_view text) {
  if (text.size() < 10) {
    return std::nullopt;
  }
  const char name[8] = {text[0], text[1], text[3], text[4],
                        text[6], text[7], text[8], text[9]};
  const std::string_view view(name, sizeof name);
  if (!IsUsableName(view)) {
    return std::nullopt;
  }
  return TextSlot<9>(view);
}

}  // namespace tallora
