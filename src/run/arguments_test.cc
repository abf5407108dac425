#include "run/arguments.h"

#include <gtest/gtest.h>

#include <vector>

#include "reports/diagnostics.h"
#include "support/temp_dir.h"

namespace tallora {
namespace {

using Action = Arguments::Action;

TEST(ParseArguments, RunsOnlyWithoutArgumentsAndRefusesWhatItDoesNotTake) {
  testing::TempDir dir;
  const std::string export_file = (dir / "export.txt").string();
  testing::WriteFile(export_file, "tripheader\n");
  const struct Case {
    std::vector<std::string_view> arguments;
    Action action;
    std::string refusal_start;
  } kCases[] = {
      {{}, Action::kRun, ""},
      {{"--help"}, Action::kHelp, ""},
      {{"-h"}, Action::kHelp, ""},
      {{"/?"}, Action::kHelp, ""},
      {{"--version"}, Action::kVersion, ""},
      {{"--help", "--version"},
       Action::kRefuse,
       "tallora: takes no arguments: \"--help\" \"--version\""},
      {{"-x"}, Action::kRefuse, "tallora: unknown option: \"-x\""},
      {{"--Help"}, Action::kRefuse, "tallora: unknown option: \"--Help\""},
      {{"now"}, Action::kRefuse, "tallora: takes no arguments: \"now\""},
      {{export_file},
       Action::kRefuse,
       "tallora: takes no file to read: " + Quoted(export_file) +
           ": name the export sqlline.txt"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.arguments.empty() ? "none" : c.arguments.front());
    const Arguments parsed = ParseArguments(c.arguments);
    EXPECT_EQ(parsed.action, c.action);
    EXPECT_TRUE(parsed.refusal.starts_with(c.refusal_start)) << parsed.refusal;
    EXPECT_EQ(parsed.refusal.empty(), c.refusal_start.empty());
  }
}

}  // namespace
}  // namespace tallora
