// Runs the built tool in a folder, as a user would, and captures what it
// says.
#ifndef TALLORA_TESTS_SUPPORT_TOOL_RUNNER_H_
#define TALLORA_TESTS_SUPPORT_TOOL_RUNNER_H_

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

}  // namespace tallora::testing

#endif  // TALLORA_TESTS_SUPPORT_TOOL_RUNNER_H_
