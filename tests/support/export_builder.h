// Composes export text for tests from just the fields a test cares about.
#ifndef TALLORA_TESTS_SUPPORT_EXPORT_BUILDER_H_
#define TALLORA_TESTS_SUPPORT_EXPORT_BUILDER_H_

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tallora::testing {

// Header line numbers of the fields tests set most.
inline constexpr int kUnitLabelLine = 3;
inline constexpr int kUnitNumberLine = 4;
inline constexpr int kBlockDateLine = 7;
inline constexpr int kModeCodeLine = 205;
// The header line of grid cell (row, column).
constexpr int GridLine(int row, int column) {
  return 18 + 9 * row + column;
}

// One segment: its 37 lines by number; line 0 is "trip" unless set, every
// other line empty unless set.
struct SegmentLines {
  std::map<int, std::string> lines;
};

// One block of an export: marker line, 207 header lines, segments, admin
// line and events. Unset lines are empty.
class BlockBuilder {
 public:
  BlockBuilder& Marker(std::string text);
  BlockBuilder& Header(int line, std::string text);
  BlockBuilder& Unit(std::string label, std::string number);
  BlockBuilder& Date(std::string date);
  BlockBuilder& Segment(std::map<int, std::string> lines = {});
  // Replaces the admin line, by default "Admin <number of events>".
  BlockBuilder& Admin(std::string line);
  BlockBuilder& Event(std::string timestamp, std::string text);

  // The block's lines, each ended by `line_end`.
  std::string Build(std::string_view line_end = "\n") const;

 private:
  std::string marker_ = "tripheader";
  std::map<int, std::string> header_;
  std::vector<SegmentLines> segments_;
  std::optional<std::string> admin_;
  std::vector<std::pair<std::string, std::string>> events_;
};

// The blocks one after the other.
std::string BuildExport(const std::vector<BlockBuilder>& blocks,
                        std::string_view line_end = "\n");

}  // namespace tallora::testing

#endif  // TALLORA_TESTS_SUPPORT_EXPORT_BUILDER_H_
