#include "support/export_builder.h"

namespace tallora::testing {
namespace {

constexpr int kHeaderLines = 207;
constexpr int kSegmentLines = 37;

std::string Lookup(const std::map<int, std::string>& lines, int line) {
  const auto found = lines.find(line);
  return found == lines.end() ? std::string() : found->second;
}

}  // namespace

BlockBuilder& BlockBuilder::Marker(std::string text) {
  marker_ = std::move(text);
  return *this;
}

BlockBuilder& BlockBuilder::Header(int line, std::string text) {
  header_[line] = std::move(text);
  return *this;
}

BlockBuilder& BlockBuilder::Unit(std::string label, std::string number) {
  Header(kUnitLabelLine, std::move(label));
  return Header(kUnitNumberLine, std::move(number));
}

BlockBuilder& BlockBuilder::Date(std::string date) {
  return Header(kBlockDateLine, std::move(date));
}

BlockBuilder& BlockBuilder::Segment(std::map<int, std::string> lines) {
  lines.try_emplace(0, "trip");
  segments_.push_back({std::move(lines)});
  return *this;
}

BlockBuilder& BlockBuilder::Admin(std::string line) {
  admin_ = std::move(line);
  return *this;
}

BlockBuilder& BlockBuilder::Event(std::string timestamp, std::string text) {
  events_.emplace_back(std::move(timestamp), std::move(text));
  return *this;
}

std::string BlockBuilder::Build(std::string_view line_end) const {
  std::string out;
  const auto line = [&](std::string_view text) {
    out.append(text).append(line_end);
  };
  line(marker_);
  for (int i = 1; i <= kHeaderLines; ++i) {
    line(Lookup(header_, i));
  }
  for (const SegmentLines& segment : segments_) {
    for (int i = 0; i < kSegmentLines; ++i) {
      line(Lookup(segment.lines, i));
    }
  }
  line(admin_ ? *admin_ : "Admin " + std::to_string(events_.size()));
  for (const auto& [timestamp, text] : events_) {
    line(timestamp);
    line(text);
  }
  return out;
}

std::string BuildExport(const std::vector<BlockBuilder>& blocks,
                        std::string_view line_end) {
  std::string out;
  for (const BlockBuilder& block : blocks) {
    out += block.Build(line_end);
  }
  return out;
}

}  // namespace tallora::testing
