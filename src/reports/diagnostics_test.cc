#include "reports/diagnostics.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "support/captured_stream.h"

namespace tallora {
namespace {

using testing::CapturedStream;

TEST(Diagnostics, ShowsTenFailuresOfAKindThenCountsTheRestWithTheirLosses) {
  CapturedStream stream;
  Diagnostics diagnostics(stream.file());
  FileResult result;
  result.failure = FileResult::Failure::kOpen;
  result.error = ENOENT;
  result.lines_lost = 3;
  for (int i = 0; i < 12; ++i) {
    std::string path = "f";
    path += std::to_string(i);
    diagnostics.FileFailed(path, result);
  }
  diagnostics.UnusableName("a/b");
  diagnostics.Finish("1 block read");
  const std::string text = stream.Text();
  EXPECT_TRUE(text.starts_with(
      "tallora: cannot open, 3 lines lost: f0: No such file or directory\n"));
  EXPECT_EQ(text.find("f10:"), std::string::npos);
  EXPECT_TRUE(text.ends_with(
      "tallora: unusable folder or file name, not written: \"a/b\"\n"
      "tallora: cannot open: 2 more not shown, 6 lines lost\n"
      "tallora: summary: 1 block read\n"))
      << text;
  EXPECT_TRUE(diagnostics.failed());
}

TEST(Diagnostics, WarningsAreCountedWithTheFirstPlaceAndNeverFail) {
  CapturedStream stream;
  Diagnostics diagnostics(stream.file());
  int places_asked = 0;
  for (const char* place : {"line 3", "line 9"}) {
    diagnostics.Warn(Warning::kComma, [&] {
      ++places_asked;
      return std::string(place);
    });
  }
  diagnostics.Finish("done");
  EXPECT_EQ(places_asked, 1);
  EXPECT_EQ(stream.Text(),
            "tallora: warning: fields hold a comma, which shifts the columns "
            "of their line (fields are not quoted): 2, first at line 3\n"
            "tallora: summary: done\n");
  EXPECT_FALSE(diagnostics.failed());
}

}  // namespace
}  // namespace tallora
