#include "compute/node_table.h"

#include "text/text_scan.h"

namespace tallora {

namespace {

// True iff `text` holds more than white space after `word`, which views part
// of it.
bool HasMoreWords(std::string_view text, std::string_view word) {
  const std::size_t end =
      static_cast<std::size_t>(word.data() + word.size() - text.data());
  return text.find_first_not_of(" \t\r\n\v\f", end) != std::string_view::npos;
}

}  // namespace

void NodeTable::Add(const EventRecord& event, ReadNotes* notes) {
  const std::string_view t = event.text;
  if (t.starts_with("Loc") && rows_.size() >= kNodeTableRows) {
    notes->Note(ReadNote::kNodeTableFull, event.line);
  } else if (t.starts_with("Loc")) {
    std::string_view from;
    std::string_view to;
    if (!TextScan(event.text_line)
             .Expect("Location ")
             .ReadWord(&from)
             .Expect(" -> ")
             .ReadWord(&to)
             .ok()) {
      notes->Note(ReadNote::kLocationNotParsed, event.line);
    } else {
      if (HasMoreWords(event.text_line, to)) {
        notes->Note(ReadNote::kMoreWordsThanKept, event.line);
      }
      if (from.size() > LocationName::capacity() ||
          to.size() > LocationName::capacity()) {
        notes->Note(ReadNote::kNameCut, event.line);
      }
      // Names and the stored timestamp come cut at their NUL bytes.
      LocationEntry& exit = rows_.emplace_back();
      exit.name.AssignNulFree(from);
      exit.kind = "Exit";
      exit.timestamp.AssignNulFree(event.timestamp);
      exit.timestamp_line_size = event.timestamp_line.size();
      LocationEntry& enter = rows_.emplace_back(exit);
      enter.name.AssignNulFree(to);
      enter.kind = "Enter";
    }
  } else if (t.starts_with("Rou")) {
    std::string_view route;
    if (TextScan(event.text_line).Expect("Route ").ReadWord(&route).ok()) {
      route_.AssignNulFree(route);
      if (HasMoreWords(event.text_line, route)) {
        notes->Note(ReadNote::kMoreWordsThanKept, event.line);
      }
      if (route.size() > RouteName::capacity()) {
        notes->Note(ReadNote::kNameCut, event.line);
      }
    }
  }
}

}  // namespace tallora
