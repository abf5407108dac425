#include "run/settings.h"

#include <gtest/gtest.h>

#include <string>

namespace tallora {
namespace {

TEST(ReadSettings, TakesTheFirstLineCutAtLineEnd) {
  const struct Case {
    const char* name;
    std::string content;
    std::string root;
  } kCases[] = {
      {"crlf", "C:\\out\\\r\nignored\r\n", "C:\\out\\"},
      {"no line end", "out/", "out/"},
      {"empty file", "", ""},
      {"empty first line", "\nout\\\n", ""},
      {"long line", std::string(350, 'r') + "\n", std::string(299, 'r')},
      {"byte-order mark", "\xEF\xBB\xBFout\\\r\n", "out\\"},
      {"byte-order mark alone", "\xEF\xBB\xBF", ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    LineReader in(c.content);
    EXPECT_EQ(ReadSettings(&in).view(), c.root);
  }
}

TEST(LoadSettings, MissingFileGivesAnEmptyRoot) {
  const Settings settings = LoadSettings("no/such/folder/tallora.ini");
  EXPECT_FALSE(settings.found);
  EXPECT_TRUE(settings.root.empty());
}

}  // namespace
}  // namespace tallora
