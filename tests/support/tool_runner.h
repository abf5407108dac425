// Runs the built tool in a folder, as a user would, and captures what it
// says.
#ifndef TALLORA_TESTS_SUPPORT_TOOL_RUNNER_H_
#define TALLORA_TESTS_SUPPORT_TOOL_RUNNER_H_

#include <cstdint>
#include <filesystem>
#include <string>

namespace tallora::testing {

struct ToolResult {
  int exit_code = -1;
  std::string console;      // standard output
  std::string diagnostics;  // standard error
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
  // included), in bytes, rounded down to a multiple of 512. SIGXFSZ is
  // ignored, so a write past the limit writes what fits and then fails with
  // EFBIG instead of ending the tool.
  std::uint64_t file_size = 0;
};

// As RunTool(folder), with `limits` set by the shell that starts the tool.
// An exit code above 128 means the tool was ended by a signal.
ToolResult RunTool(const std::filesystem::path& folder,
                   const RunLimits& limits);

// True iff an address-space limit fits the tool under test: false for a
// Windows build under an emulator and for a sanitizer build, which reserves
// terabytes of address space for its shadow memory.
bool CanLimitAddressSpace();

}  // namespace tallora::testing

#endif  // TALLORA_TESTS_SUPPORT_TOOL_RUNNER_H_
