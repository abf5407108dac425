#include "tools/export_gen.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace tallora {
namespace {

// Read limits of the lines of a block, by position.
int HeaderLimit(int line) {
  if (line == 160) {
    return 2000;
  }
  if ((line >= 164 && line <= 184) || (line >= 187 && line <= 200) ||
      line >= 203) {
    return 10;
  }
  return line == 201 ? 25 : line == 202 ? 20 : 40;
}

int SegmentLimit(int line) {
  switch (line) {
    case 4:
      return 10;
    case 11:
    case 12:
      return 40;
    case 33:
    case 34:
      return 80;
    case 35:
    case 36:
      return 25;
    default:
      return 20;
  }
}

struct Layout {
  int blocks = 0;
  std::uint64_t segments = 0;
  std::uint64_t events = 0;
  std::vector<std::string> event_texts;
};

// Walks `text` block by block, failing on any line not shorter than its read
// limit minus one, any count that does not match header line 1, and event
// timestamps off the block's date, past 23:59:59 or falling (or, in a block
// of fewer events than its shift has seconds, repeating).
Layout WalkExport(std::string_view text) {
  Layout layout;
  std::vector<std::string_view> lines;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find('\n', at);
    EXPECT_NE(end, std::string_view::npos) << "last line has no line end";
    lines.push_back(text.substr(at, end + 1 - at));
    at = end + 1;
  }
  std::size_t i = 0;
  const auto next = [&](int limit) {
    EXPECT_LT(i, lines.size());
    const std::string_view line = i < lines.size() ? lines[i++] : "\n";
    EXPECT_LT(line.size() + 1, static_cast<std::size_t>(limit)) << line;
    return line;
  };
  while (i < lines.size() && !testing::Test::HasFailure()) {
    EXPECT_EQ(next(40).substr(0, 10), "tripheader");
    // Header line 1: "1 <segments> <events> 0".
    std::uint64_t one = 0, segments = 0, events = 0;
    std::istringstream(std::string(next(40))) >> one >> segments >> events;
    std::string_view date;
    for (int line = 2; line <= 207; ++line) {
      const std::string_view text = next(HeaderLimit(line));
      date = line == 7 ? text.substr(0, 10) : date;
    }
    std::uint64_t segment = 0;
    while (i < lines.size() && lines[i].starts_with("trip ")) {
      for (int line = 0; line < 37; ++line) {
        next(SegmentLimit(line));
      }
      ++segment;
    }
    const std::string_view admin = next(100);
    EXPECT_EQ(admin, "Admin " + std::to_string(events) +
                         std::string(admin.ends_with("\r\n") ? "\r\n" : "\n"));
    const bool strictly = events <= 8 * 3600;
    std::string_view clock = "";
    for (std::uint64_t e = 0; e < events && !testing::Test::HasFailure(); ++e) {
      const std::string_view stamp = next(30);
      EXPECT_EQ(stamp.substr(0, 11), std::string(date) + " ");
      const std::string_view now = stamp.substr(11, 8);
      EXPECT_LT(now, "24");
      EXPECT_TRUE(strictly ? now > clock : now >= clock) << now;
      clock = now;
      layout.event_texts.emplace_back(next(300));
    }
    EXPECT_EQ(segment, segments);
    layout.segments += segments;
    layout.events += events;
    ++layout.blocks;
  }
  return layout;
}

std::uint64_t Fnv1a(std::string_view text) {
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (const char c : text) {
    hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
  }
  return hash;
}

TEST(ExportGenerator, KeepsTheBytesOfEarlierReleases) {
  // Hashes of what the generator wrote before the places-5000 mix and fixed
  // counts existed; tests and the fuzz corpus were made from those bytes.
  const struct Case {
    ExportShape shape;
    std::uint64_t blocks;
    std::size_t size;
    std::uint64_t hash;
  } kCases[] = {
      {{ExportMix::kTypical, 7, 0, 7, false}, 40, 172245, 0xf6291928e9b4316cu},
      {{ExportMix::kLocationHeavy, 3, 9, 2, true},
       20,
       271412,
       0x84287ef343738f43u},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.size);
    const std::string text = GenerateExport(c.shape, c.blocks);
    EXPECT_EQ(text.size(), c.size);
    EXPECT_EQ(Fnv1a(text), c.hash);
  }
}

TEST(ExportGenerator, EveryLineFitsItsReadLimit) {
  const struct Case {
    const char* name;
    ExportShape shape;
    std::uint64_t blocks;
    std::uint64_t segments;  // 0: not fixed
    std::uint64_t events;    // 0: not fixed
  } kCases[] = {
      {"typical", {ExportMix::kTypical, 1, 0, 7, true}, 60, 0, 0},
      {"places-5000", {ExportMix::kPlaces5000, 2, 0, 7, true}, 60, 0, 0},
      {"3 events", {ExportMix::kLocationHeavy, 3, 0, 7, true, 3}, 1, 0, 3},
      {"crowded events",
       {ExportMix::kPlaces5000, 4, 0, 7, true, 100000},
       1,
       0,
       100000},
      {"crowded segments",
       {ExportMix::kTypical, 5, 0, 7, true, 0, 9000},
       2,
       18000,
       0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const Layout layout = WalkExport(GenerateExport(c.shape, c.blocks));
    EXPECT_EQ(layout.blocks, static_cast<int>(c.blocks));
    if (c.segments != 0) {
      EXPECT_EQ(layout.segments, c.segments);
    }
    if (c.events != 0) {
      EXPECT_EQ(layout.events, c.events);
    }
  }
}

TEST(ExportGenerator, Places5000KeepsTheSizeWithDistinctFolderNames) {
  ExportShape heavy;
  heavy.mix = ExportMix::kLocationHeavy;
  ExportShape many = heavy;
  many.mix = ExportMix::kPlaces5000;
  const std::string many_text = GenerateExport(many, 600);
  EXPECT_NEAR(static_cast<double>(many_text.size()) /
                  static_cast<double>(GenerateExport(heavy, 600).size()),
              1.0, 0.005);
  const Layout layout = WalkExport(many_text);

  std::set<std::string> names, folded;
  for (const std::string& text : layout.event_texts) {
    std::istringstream words(text);
    std::string kind, from, arrow, to;
    if (!(words >> kind >> from >> arrow >> to) || kind != "Location") {
      continue;
    }
    for (std::string name : {from, to}) {
      for (const char c : name) {
        ASSERT_TRUE(std::isalpha(c)) << name;
      }
      names.insert(name);
      for (char& c : name) {
        c = static_cast<char>(std::tolower(c));
      }
      folded.insert(name);
    }
  }
  EXPECT_EQ(names.size(), 5000u);
  EXPECT_EQ(folded.size(), names.size());
}

}  // namespace
}  // namespace tallora
