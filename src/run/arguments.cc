#include "run/arguments.h"

#include <filesystem>
#include <system_error>

#include "reports/diagnostics.h"

namespace tallora {
namespace {

constexpr std::string_view kUsage =
    "Usage: tallora              run on the export in the working folder\n"
    "       tallora --help       (or -h, /?) show this text\n"
    "       tallora --version    show the version\n"
    "\n"
    "tallora reads two files from the working folder: tallora.ini, whose\n"
    "first line is the output root, a raw prefix of every report path (such\n"
    "as out\\ or D:\\Reports\\, ending in its separator; empty: the working\n"
    "folder), and sqlline.txt, the export. It appends report lines under the\n"
    "output root:\n"
    "  Shift\\DDMMYYYY\\Combined.csv        a summary line per unit and date\n"
    "  Node\\<unit or place>\\DDMMYYYY.csv  every location visit\n"
    "  dhe\\<unit number>.rep              a line per segment, when the\n"
    "                                     folder dhe exists\n"
    "Every run appends: an export run twice is written twice.\n"
    "\n"
    "At the end it waits for Enter. To run it unattended, give it an empty\n"
    "input, from the working folder:\n"
    "  tallora < NUL                   Command Prompt\n"
    "  cmd /c \"tallora.exe < NUL\"      PowerShell, Task Scheduler (Start "
    "in:\n"
    "                                  the working folder)\n"
    "  tallora </dev/null              Linux and other systems\n"
    "\n"
    "Exit status: 0 done, 1 a failure was reported on standard error,\n"
    "2 arguments refused, 130 interrupted.\n";

constexpr std::string_view kVersionLine = "tallora " TALLORA_VERSION "\n";

bool IsFile(std::string_view argument) {
  std::error_code error;
  return std::filesystem::is_regular_file(std::filesystem::path(argument),
                                          error);
}

std::string QuotedList(std::span<const std::string_view> arguments) {
  std::string list;
  for (const std::string_view argument : arguments) {
    list += list.empty() ? "" : " ";
    list += Quoted(argument);
  }
  return list;
}

}  // namespace

Arguments ParseArguments(std::span<const std::string_view> arguments) {
  Arguments parsed;
  if (arguments.empty()) {
    return parsed;
  }
  if (arguments.size() == 1) {
    const std::string_view only = arguments.front();
    if (only == "--help" || only == "-h" || only == "/?") {
      parsed.action = Arguments::Action::kHelp;
      return parsed;
    }
    if (only == "--version") {
      parsed.action = Arguments::Action::kVersion;
      return parsed;
    }
  }
  parsed.action = Arguments::Action::kRefuse;
  bool files = false;
  for (const std::string_view argument : arguments) {
    files = files || IsFile(argument);
  }
  if (files) {
    parsed.refusal =
        "tallora: takes no file to read: " + QuotedList(arguments) +
        ": name the export sqlline.txt, put it in the working folder with "
        "tallora.ini, and run tallora there";
  } else if (arguments.size() == 1 && (arguments.front().starts_with('-') ||
                                       arguments.front().starts_with('/'))) {
    parsed.refusal = "tallora: unknown option: " + QuotedList(arguments);
  } else {
    parsed.refusal = "tallora: takes no arguments: " + QuotedList(arguments);
  }
  return parsed;
}

std::string_view Usage() {
  return kUsage;
}

std::string_view VersionLine() {
  return kVersionLine;
}

}  // namespace tallora
