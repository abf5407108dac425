#include "reports/node_writer.h"

#include <string>
#include <string_view>
#include <vector>

#include "input/text_scan.h"
#include "input/text_slot.h"
#include "reports/line_text.h"
#include "reports/report_path.h"

namespace tallora {
namespace {

struct LocationEntry {
  TextSlot<30> name;
  std::string_view kind;
  std::string_view timestamp;  // as stored, line end included
};

struct NodeTable {
  std::vector<LocationEntry> rows;
  TextSlot<32> route;
};

NodeTable GatherNodeTable(const EventList& events) {
  NodeTable table;
  for (std::size_t i = 0; i < events.size(); ++i) {
    const EventView event = events[i];
    const std::string_view t = event.text;
    if (t.starts_with("Loc") && table.rows.size() < kNodeTableRows) {
      std::string_view from;
      std::string_view to;
      if (ScanText(t, "Location %s -> %s", {&from, &to}) == 2) {
        table.rows.push_back({TextSlot<30>(from), "Exit", event.timestamp});
        table.rows.push_back({TextSlot<30>(to), "Enter", event.timestamp});
      }
    } else if (t.starts_with("Rou")) {
      std::string_view route;
      if (ScanText(t, "Route %s", {&route}) == 1) {
        table.route.Assign(route);
      }
    }
  }
  return table;
}

std::string NodeLine(std::string_view who, const LocationEntry& row,
                     std::string_view route, std::string_view unit_number) {
  return CsvLine()
      .Add(who)
      .Add(row.kind)
      .Add(CutAtLineEnd(row.timestamp))
      .Add(route)
      .Add(unit_number)
      .Finish();
}

// Appends `line` to <folder>\DDMMYYYY.csv, where `folder` is Node\<name>.
void AppendRow(std::string_view name, const TextSlot<9>& date,
               const std::string& line, const std::string& node_folder,
               const std::string& folder, const ReportContext& context) {
  std::string file_name(date.view());
  file_name += ".csv";
  const std::string path =
      OutputPath(context.output_root, {"Node", name, file_name});
  int error = 0;
  if (!context.files->Append(path, line, {&node_folder, &folder}, &error)) {
    context.diagnostics->CannotOpen(path, error);
  }
}

}  // namespace

void WriteNodeFiles(const BlockHeader& header, const EventList& events,
                    const ReportContext& context) {
  const NodeTable table = GatherNodeTable(events);
  const std::string_view unit_label = CutAtLineEnd(header.unit_label.view());
  const std::string_view unit_number = CutAtLineEnd(header.unit_number.view());
  const std::string_view route = table.route.view();

  const std::string node_folder = OutputPath(context.output_root, {"Node"});
  context.files->MakeFolder(node_folder);
  const bool label_usable = IsUsableName(unit_label);
  std::string unit_folder;
  if (label_usable) {
    unit_folder = OutputPath(context.output_root, {"Node", unit_label});
    context.files->MakeFolder(unit_folder);
  } else {
    context.diagnostics->UnusableName(unit_label);
  }

  for (const LocationEntry& row : table.rows) {
    const auto date = DateFolderName(row.timestamp);
    if (!date) {
      context.diagnostics->UnusableName(CutAtLineEnd(row.timestamp));
    } else if (label_usable) {
      AppendRow(unit_label, *date,
                NodeLine(row.name.view(), row, route, unit_number), node_folder,
                unit_folder, context);
    }
  }
  for (const LocationEntry& row : table.rows) {
    const auto date = DateFolderName(row.timestamp);
    if (!IsUsableName(row.name.view())) {
      context.diagnostics->UnusableName(row.name.view());
      continue;
    }
    if (!date) {
      continue;  // reported with the unit's rows
    }
    const std::string folder =
        OutputPath(context.output_root, {"Node", row.name.view()});
    context.files->MakeFolder(folder);
    AppendRow(row.name.view(), *date,
              NodeLine(unit_label, row, route, unit_number), node_folder,
              folder, context);
  }
}

}  // namespace tallora
