// The command line: the tool takes no arguments but for help and version.
#ifndef TALLORA_RUN_ARGUMENTS_H_
#define TALLORA_RUN_ARGUMENTS_H_

#include <span>
#include <string>
#include <string_view>

namespace tallora {

struct Arguments {
  enum class Action { kRun, kHelp, kVersion, kRefuse };
  Action action = Action::kRun;
  // For kRefuse: the diagnostic line, without its line feed, naming what was
  // refused.
  std::string refusal;
};

// What the arguments after the program name ask for: no arguments run the
// tool; exactly one of --help, -h or /? asks for the usage, exactly
// --version for the version; anything else is refused, with advice for a
// file dropped on the program.
Arguments ParseArguments(std::span<const std::string_view> arguments);

// What the tool reads and writes, where the output root comes from and how
// to run it unattended.
std::string_view Usage();

// "tallora <version>".
std::string_view VersionLine();

// The exit status of refused arguments.
inline constexpr int kRefusedArgumentsStatus = 2;

}  // namespace tallora

#endif  // TALLORA_RUN_ARGUMENTS_H_
