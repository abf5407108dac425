#include "reports/node_writer.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "reports/report_path.h"
#include "text/text_slot.h"

namespace tallora {
namespace {

// The date folder name of each row, taken from its timestamp as stored.
// Consecutive rows mostly fall on one date: the name is taken again only
// when the date part of the timestamp changes.
std::vector<std::optional<TextSlot<9>>> RowDates(const NodeTable& table) {
  std::vector<std::optional<TextSlot<9>>> dates;
  dates.reserve(table.rows().size());
  std::string_view dated_stamp;
  std::optional<TextSlot<9>> date;
  for (const LocationEntry& row : table.rows()) {
    const std::string_view stamp = row.timestamp.view().substr(0, 10);
    if (stamp != dated_stamp || dated_stamp.empty()) {
      date = DateFolderName(row.timestamp.view());
      dated_stamp = stamp;
    }
    dates.push_back(date);
  }
  return dates;
}

// The folder Node\<name> of one name, and its file for the date last
// written.
struct NodeFolder {
  std::string_view name;
  bool usable = false;
  std::string folder;  // empty until made
  std::string file;
  TextSlot<9> file_date;
  CommitLog::FileRef file_ref;
};

// The node folders of one block: each name checked, each folder made and
// each path built once per block.
class NodeFolders {
 public:
  explicit NodeFolders(const ReportContext& context)
      : context_(context),
        node_folder_(OutputPath(context.output_root, {"Node"})) {
    context_.files->MakeFolder(node_folder_);
  }

  // The entry of `name`, which tells whether the name may be a folder.
  NodeFolder& Find(std::string_view name) {
    auto [found, added] = folders_.try_emplace(name);
    if (added) {
      found->second.name = name;
      found->second.usable = IsUsableName(name);
    }
    return found->second;
  }

  // Makes the folder of `entry`.
  // REQUIRES: entry->usable.
  void Make(NodeFolder* entry) {
    if (entry->folder.empty()) {
      entry->folder = OutputPath(context_.output_root, {"Node", entry->name});
    }
    context_.files->MakeFolder(entry->folder);
  }

  // Appends `line` to the file of `date` in the folder of `entry`.
  // REQUIRES: the folder of `entry` was made.
  void Append(NodeFolder* entry, const TextSlot<9>& date,
              std::string_view line) {
    if (entry->file.empty() || entry->file_date.view() != date.view()) {
      std::string file_name(date.view());
      file_name += ".csv";
      entry->file =
          OutputPath(context_.output_root, {"Node", entry->name, file_name});
      entry->file_date = date;
      entry->file_ref = {};
    }
    context_.files->Append(entry->file, FileKind::kNode, line,
                           &entry->file_ref);
  }

 private:
  const ReportContext& context_;
  std::string node_folder_;
  // Keys view the node table and the header, which outlive this.
  std::unordered_map<std::string_view, NodeFolder> folders_;
};

// The end of every row's line, the same in the unit's file and in the
// location's: ",<kind>,<timestamp>,<route>,<unit number>\n", one after the
// other in `text`.
std::vector<std::string_view> LineEnds(const NodeTable& table,
                                       std::string_view unit_number,
                                       std::string* text) {
  std::vector<std::size_t> sizes;
  sizes.reserve(table.rows().size());
  for (const LocationEntry& row : table.rows()) {
    const std::size_t start = text->size();
    text->append(",")
        .append(row.kind)
        .append(",")
        .append(row.timestamp_line())
        .append(",")
        .append(table.route())
        .append(",")
        .append(unit_number)
        .append("\n");
    sizes.push_back(text->size() - start);
  }
  std::vector<std::string_view> ends;
  ends.reserve(sizes.size());
  const char* next = text->data();
  for (const std::size_t size : sizes) {
    ends.emplace_back(next, size);
    next += size;
  }
  return ends;
}

}  // namespace

void WriteNodeFiles(const BlockHeader& header, const NodeTable& table,
                    const ReportContext& context) {
  const std::string_view unit_label = header.unit_label.view();
  const std::string_view unit_number = header.unit_number.view();

  NodeFolders folders(context);
  NodeFolder& unit = folders.Find(unit_label);
  if (unit.usable) {
    folders.Make(&unit);
  } else {
    context.diagnostics->UnusableName(unit_label);
  }

  const std::vector<LocationEntry>& rows = table.rows();
  const std::vector<std::optional<TextSlot<9>>> dates = RowDates(table);
  std::string ends_text;
  const std::vector<std::string_view> ends =
      LineEnds(table, unit_number, &ends_text);
  std::string line;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (!dates[i]) {
      context.diagnostics->UnusableName(rows[i].timestamp_line());
    } else if (unit.usable) {
      line.assign(rows[i].name.view()).append(ends[i]);
      folders.Append(&unit, *dates[i], line);
    }
  }
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const std::string_view name = rows[i].name.view();
    NodeFolder& location = folders.Find(name);
    if (!location.usable) {
      context.diagnostics->UnusableName(name);
      continue;
    }
    if (!dates[i]) {
      continue;  // reported with the unit's rows
    }
    folders.Make(&location);
    line.assign(unit_label).append(ends[i]);
    folders.Append(&location, *dates[i], line);
  }
}

}  // namespace tallora
