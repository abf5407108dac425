#include "compute/node_table.h"

#include "text/text_scan.h"

namespace tallora {

void NodeTable::Add(const EventRecord& event) {
  const std::string_view t = event.text;
  if (t.starts_with("Loc") && rows_.size() < kNodeTableRows) {
    std::string_view from;
    std::string_view to;
    if (TextScan(event.text_line)
            .Expect("Location ")
            .ReadWord(&from)
            .Expect(" -> ")
            .ReadWord(&to)
            .ok()) {
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
    }
  }
}

}  // namespace tallora
