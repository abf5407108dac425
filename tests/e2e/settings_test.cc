// What the tool says of its settings file before it reads the export.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>

#include "support/export_builder.h"
#include "support/temp_dir.h"
#include "support/tool_runner.h"

namespace tallora::testing {
namespace {

TEST(Settings, PlainMistakesAreWarnedOfAndUnreadableOnesFail) {
  const struct Case {
    const char* name;
    std::optional<std::string> settings;  // none: no tallora.ini
    int status;
    std::string failure;       // start of the failure lines
    std::string warning;       // a text in the warning lines
    const char* summary_root;  // how the summary ends
  } kCases[] = {
      {"plain", "out\\\r\n", 0, "", "", "/out/\n"},
      {"byte-order mark",
       "\xEF\xBB\xBF"
       "out\\\r\n",
       0, "", "", "/out/\n"},
      {"no settings file", std::nullopt, 0, "", "no tallora.ini", "/run/\n"},
      {"no separator", "out\n", 0, "",
       "does not end in \\ or /, so it is a prefix", "/run/out\n"},
      // Windows drops a path's trailing spaces.
      {"white space at the end", "out\\ \n", 0, "", "ends in white space",
       RunsWindowsBuild() ? "/out/\n" : "/out/ \n"},
      {"UTF-16",
       std::string("\xFF\xFE"
                   "o\0u\0t\0\\\0\r\0\n\0",
                   14),
       1,
       "tallora: not 8-bit text: tallora.ini: saved as UTF-16; save it as "
       "8-bit text (ANSI or UTF-8)\n",
       "does not end in", ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const auto work = dir / "run";
    WriteFile(
        work / "sqlline.txt",
        BlockBuilder().Unit("TRK1", "1").Date("15/06/2022").Segment().Build());
    if (c.settings) {
      WriteFile(work / "tallora.ini", *c.settings);
    }
    std::filesystem::create_directories(work / "out");
    const ToolResult result = RunTool(work);
    EXPECT_EQ(result.exit_code, c.status);
    EXPECT_TRUE(result.diagnostics.starts_with(c.failure))
        << result.diagnostics;
    EXPECT_EQ(result.diagnostics.empty(), c.failure.empty());
    if (c.warning.empty()) {
      EXPECT_EQ(result.warnings, "");
    } else {
      EXPECT_NE(result.warnings.find(c.warning), std::string::npos)
          << result.warnings;
    }
    EXPECT_TRUE(result.summary.starts_with(
        "tallora: summary: 1 block read, 1 line appended to 1 file under "))
        << result.summary;
    // A Windows build names the root with backslashes.
    std::string summary = result.summary;
    std::replace(summary.begin(), summary.end(), '\\', '/');
    EXPECT_TRUE(summary.ends_with(c.summary_root)) << result.summary;
  }
}

}  // namespace
}  // namespace tallora::testing
