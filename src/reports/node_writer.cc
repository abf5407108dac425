#include "reports/node_writer.h"

#include "reports/csv_line.h"
#include "reports/report_path.h"

namespace tallora {
namespace {

// Names remembered at most; past this the memory starts afresh, which costs
// their checks and paths again but keeps memory bounded whatever the export
// names.
constexpr std::size_t kMostNames = 16384;

}  // namespace

NodeFiles::NodeFiles(const ReportContext& context)
    : context_(context),
      node_folder_(OutputPath(context.output_root, {"Node"})) {}

NodeFiles::Folder& NodeFiles::Find(std::string_view name) {
  if (const auto found = folders_.find(name); found != folders_.end()) {
    return found->second;
  }
  const auto added = folders_.try_emplace(std::string(name)).first;
  Folder& folder = added->second;
  folder.name = added->first;
  folder.usable = IsUsableName(name);
  folder.comma = name.find(',') != std::string_view::npos;
  folder.formula = LooksLikeFormula(name);
  return folder;
}

void NodeFiles::Make(Folder* folder) {
  if (folder->asked) {
    return;
  }
  context_.files->MakeFolder(
      OutputPath(context_.output_root, {"Node", folder->name}));
  folder->asked = true;
}

void NodeFiles::Append(Folder* folder, const TextSlot<9>& date,
                       std::initializer_list<std::string_view> pieces) {
  if (folder->file.empty() || folder->file_date.view() != date.view()) {
    std::string file_name(date.view());
    file_name += ".csv";
    folder->file =
        OutputPath(context_.output_root, {"Node", folder->name, file_name});
    folder->file_date = date;
    folder->file_ref = {};
  }
  context_.files->Append(folder->file, FileKind::kNode, pieces, 1,
                         &folder->file_ref);
}

void NodeFiles::TakeDates(const std::vector<LocationEntry>& rows) {
  // The date folder name of each row, taken from its timestamp as stored.
  // Consecutive rows mostly fall on one date: the name is taken again only
  // when the date part of the timestamp changes.
  dates_.clear();
  std::string_view dated_stamp;
  std::optional<TextSlot<9>> date;
  for (const LocationEntry& row : rows) {
    const std::string_view stamp = row.timestamp.view().substr(0, 10);
    if (stamp != dated_stamp || dated_stamp.empty()) {
      date = DateFolderName(row.timestamp.view());
      dated_stamp = stamp;
    }
    dates_.push_back(date);
  }
}

void NodeFiles::MakeEnds(const NodeTable& table, std::string_view unit_number) {
  const std::vector<LocationEntry>& rows = table.rows();
  // The end of every row's line, the same in the unit's file and in the
  // location's: ",<kind>,<timestamp>,<route>,<unit number>\n", and whether
  // a field of it holds a comma. Its last two fields are the block's own.
  suffix_.clear();
  CsvLine suffix(&suffix_, true);
  suffix.Add(table.route()).Add(unit_number).End();
  ends_text_.clear();
  ends_comma_.clear();
  std::vector<std::size_t> starts;
  starts.reserve(rows.size() + 1);
  for (const LocationEntry& row : rows) {
    starts.push_back(ends_text_.size());
    CsvLine end(&ends_text_, true);
    end.Add(row.kind, false)
        .Add(row.timestamp_line())
        .Then(suffix_, suffix.field_holds_comma());
    ends_comma_.push_back(end.field_holds_comma());
  }
  starts.push_back(ends_text_.size());
  ends_.clear();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    ends_.push_back(std::string_view(ends_text_)
                        .substr(starts[i], starts[i + 1] - starts[i]));
  }
}

void NodeFiles::Write(const BlockHeader& header, const NodeTable& table) {
  // Entries are only added within a block, so references to them hold.
  if (folders_.size() >= kMostNames) {
    folders_.clear();
  }
  const std::string_view unit_label = header.unit_label.view();
  const std::string_view unit_number = header.unit_number.view();
  const std::vector<LocationEntry>& rows = table.rows();

  context_.files->MakeFolder(node_folder_);
  Folder& unit = Find(unit_label);
  if (unit.usable) {
    Make(&unit);
  } else {
    context_.diagnostics->UnusableName(unit_label);
  }

  TakeDates(rows);
  MakeEnds(table, unit_number);

  const bool route_formula = LooksLikeFormula(table.route());
  const bool label_comma = unit_label.find(',') != std::string_view::npos;
  const bool label_formula = LooksLikeFormula(unit_label);
  // Warns of a line written with a field holding a comma, or a name that
  // looks like a formula.
  const auto check = [&](std::size_t row, bool name_comma, bool name_formula) {
    if (name_comma || ends_comma_[row]) {
      context_.diagnostics->WarnInBlock(Warning::kComma);
    }
    if (name_formula || route_formula) {
      context_.diagnostics->WarnInBlock(Warning::kFormula);
    }
  };

  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (!dates_[i]) {
      context_.diagnostics->UnusableName(rows[i].timestamp_line());
    } else if (unit.usable) {
      Append(&unit, *dates_[i], {rows[i].name.view(), ends_[i]});
    }
  }
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const std::string_view name = rows[i].name.view();
    Folder& location = Find(name);
    if (dates_[i] && unit.usable) {
      check(i, location.comma, location.formula);  // of the unit's row
    }
    if (!location.usable) {
      context_.diagnostics->UnusableName(name);
      continue;
    }
    if (!dates_[i]) {
      continue;  // reported with the unit's rows
    }
    Make(&location);
    check(i, label_comma, label_formula);
    Append(&location, *dates_[i], {unit_label, ends_[i]});
  }
}

void WriteNodeFiles(const BlockHeader& header, const NodeTable& table,
                    const ReportContext& context) {
  NodeFiles(context).Write(header, table);
}

}  // namespace tallora
