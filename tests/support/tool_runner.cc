#include "support/tool_runner.h"

#include <sys/wait.h>

#include <cstdlib>
#include <string_view>

#include "support/temp_dir.h"

namespace tallora::testing {
namespace {

std::string ToolCommand() {
  if (const char* exe = std::getenv("TALLORA_EXE"); exe != nullptr && *exe) {
    return exe;
  }
  return std::string("'") + TALLORA_DEFAULT_EXE + "'";
}

std::string WithoutCarriageReturns(std::string text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

bool RunsWindowsBuild() {
  return ToolCommand().find(".exe") != std::string::npos;
}

ToolResult RunTool(const std::filesystem::path& folder) {
  return RunTool(folder, RunLimits{});
}

bool CanLimitAddressSpace() {
#if defined(__SANITIZE_ADDRESS__)
  return false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  return false;
#endif
#endif
  return !RunsWindowsBuild();
}

ToolResult RunTool(const std::filesystem::path& folder,
                   const RunLimits& limits) {
  std::string prefix;
  if (limits.address_space > 0) {
    prefix +=
        "ulimit -v " + std::to_string(limits.address_space / 1024) + " && ";
  }
  if (limits.file_size > 0) {
    prefix += "trap '' XFSZ && ulimit -f " +
              std::to_string(limits.file_size / 512) + " && ";
  }
  const std::filesystem::path out =
      folder / ".." / (folder.filename().string() + ".out");
  const std::filesystem::path err =
      folder / ".." / (folder.filename().string() + ".err");
  const std::string command = "cd '" + folder.string() + "' && " + prefix +
                              ToolCommand() + " </dev/null >'" + out.string() +
                              "' 2>'" + err.string() + "'";
  const int status = std::system(command.c_str());
  ToolResult result;
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.console = ReadFile(out);
  result.diagnostics = ReadFile(err);
  if (RunsWindowsBuild()) {
    result.console = WithoutCarriageReturns(result.console);
    result.diagnostics = WithoutCarriageReturns(result.diagnostics);
  }
  std::error_code ec;
  std::filesystem::remove(out, ec);
  std::filesystem::remove(err, ec);
  return result;
}

}  // namespace tallora::testing
