#include "support/tool_runner.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <string_view>
#include <thread>

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

namespace {

std::filesystem::path Beside(const std::filesystem::path& folder,
                             const char* extension) {
  return folder / ".." / (folder.filename().string() + extension);
}

// The shell command that runs the tool in `folder` under `limits`, its
// console and diagnostics going to files beside the folder.
std::string Command(const std::filesystem::path& folder,
                    const RunLimits& limits, std::string_view arguments) {
  std::string prefix;
  if (limits.address_space > 0) {
    prefix +=
        "ulimit -v " + std::to_string(limits.address_space / 1024) + " && ";
  }
  if (limits.file_size > 0) {
    prefix += "ulimit -f " + std::to_string(limits.file_size / 512) + " && ";
  }
  return "cd '" + folder.string() + "' && " + prefix + "exec " + ToolCommand() +
         " " + std::string(arguments) + " </dev/null >'" +
         Beside(folder, ".out").string() + "' 2>'" +
         Beside(folder, ".err").string() + "'";
}

ToolResult Collect(const std::filesystem::path& folder, int status) {
  ToolResult result;
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  result.console = ReadFile(Beside(folder, ".out"));
  std::string diagnostics = ReadFile(Beside(folder, ".err"));
  if (RunsWindowsBuild()) {
    result.console = WithoutCarriageReturns(result.console);
    diagnostics = WithoutCarriageReturns(diagnostics);
  }
  result.diagnostics =
      SplitDiagnostics(diagnostics, &result.warnings, &result.summary);
  std::error_code ec;
  std::filesystem::remove(Beside(folder, ".out"), ec);
  std::filesystem::remove(Beside(folder, ".err"), ec);
  return result;
}

}  // namespace

ToolResult RunTool(const std::filesystem::path& folder,
                   const RunLimits& limits) {
  RunningTool tool(folder, limits);
  return tool.Wait();
}

ToolResult RunToolWithArguments(const std::filesystem::path& folder,
                                std::string_view arguments) {
  RunningTool tool(folder, {}, arguments);
  return tool.Wait();
}

RunningTool::RunningTool(const std::filesystem::path& folder,
                         const RunLimits& limits, std::string_view arguments)
    : folder_(folder) {
  const std::string command = Command(folder, limits, arguments);
  pid_ = ::fork();
  if (pid_ == 0) {
    ::execl("/bin/sh", "sh", "-c", command.c_str(),
            static_cast<char*>(nullptr));
    ::_exit(127);
  }
}

RunningTool::~RunningTool() {
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    Wait();
  }
}

bool RunningTool::WaitForConsole(double seconds) {
  const auto until =
      std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  std::error_code ec;
  while (std::filesystem::file_size(Beside(folder_, ".out"), ec) == 0 || ec) {
    if (std::chrono::steady_clock::now() > until) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  return true;
}

void RunningTool::Signal(int signal_number) {
  if (pid_ > 0) {
    ::kill(pid_, signal_number);
  }
}

ToolResult RunningTool::Wait() {
  int status = 0;
  if (pid_ <= 0) {
    return {};
  }
  while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  pid_ = -1;
  return Collect(folder_, status);
}

}  // namespace tallora::testing
