// Runs the built tool in a folder, as a user would, and captures what it
// says.
#ifndef TALLORA_TESTS_SUPPORT_TOOL_RUNNER_H_
#define TALLORA_TESTS_SUPPORT_TOOL_RUNNER_H_

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "support/split_diagnostics.h"

namespace tallora::testing {

struct ToolResult {
  int exit_code = -1;   // -1 when ended by a signal
  int signal = 0;       // the signal that ended the tool, if one did
  std::string console;  // standard output
  // Standard error, split: the failure lines, the warning lines and the
  // closing summary line.
  std::string diagnostics;
  std::string warnings;
  std::string summary;
};

// Runs the tool with `folder` as working directory and an empty standard
// input. The tool is the build's own binary unless the environment variable
// TALLORA_EXE names another command (such as an emulator and a Windows
// build); the console text of a Windows build has its CR LF line ends turned
// into LF.
ToolResult RunTool(const std::filesystem::path& folder);

// True iff the tool under test is a Windows build run through an emulator.
bool RunsWindowsBuild();

// Resource limits put on one run of the tool. Zero means no limit.
struct RunLimits {
  // Address space of the tool in bytes, rounded down to whole KiB.
  std::uint64_t address_space = 0;
  // Largest size of any file the tool writes (its console and diagnostics
  // included), in bytes, rounded down to a multiple of 512. SIGXFSZ keeps
  // its default action, which ends a process that does not ignore it.
  std::uint64_t file_size = 0;
};

// As RunTool(folder), with `limits` set by the shell that starts the tool.
ToolResult RunTool(const std::filesystem::path& folder,
                   const RunLimits& limits);

// As RunTool(folder), with `arguments` given to the shell as they stand.
ToolResult RunToolWithArguments(const std::filesystem::path& folder,
                                std::string_view arguments);

// A run of the tool started in the background, as RunTool runs it; killed
// and waited for on destruction if still running.
class RunningTool {
 public:
  // `arguments` go to the shell as they stand, quoting and all.
  RunningTool(const std::filesystem::path& folder, const RunLimits& limits = {},
              std::string_view arguments = {});
  ~RunningTool();
  RunningTool(const RunningTool&) = delete;
  RunningTool& operator=(const RunningTool&) = delete;

  // Waits until the tool has written something to its console, which it
  // does once its signal handlers are set. Returns false after `seconds`.
  bool WaitForConsole(double seconds = 10);
  // Sends `signal_number` to the tool.
  void Signal(int signal_number);
  // Waits for the tool to end.
  ToolResult Wait();

 private:
  std::filesystem::path folder_;
  int pid_ = -1;
};

// True iff an address-space limit fits the tool under test: false for a
// Windows build under an emulator and for a sanitizer build, which reserves
// terabytes of address space for its shadow memory.
bool CanLimitAddressSpace();

}  // namespace tallora::testing

#endif  // TALLORA_TESTS_SUPPORT_TOOL_RUNNER_H_
