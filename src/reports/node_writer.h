// The node files: location transitions by unit and by location.
#ifndef TALLORA_REPORTS_NODE_WRITER_H_
#define TALLORA_REPORTS_NODE_WRITER_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "compute/node_table.h"
#include "input/block_state.h"
#include "reports/report_context.h"
#include "text/text_slot.h"

namespace tallora {

// Writes each block's node table: makes the folders Node and
// Node\<unit label> and appends each row, with the table's route, to the
// unit's file Node\<unit label>\DDMMYYYY.csv and then to each location's
// file Node\<location>\DDMMYYYY.csv, the date folder name taken from the
// row's timestamp. A file whose path would need an unusable name (unit
// label, location, date) is not written and the name is reported.
//
// Lives for the run, so that each name is checked, and its paths built,
// once rather than in every block.
class NodeFiles {
 public:
  // REQUIRES: `context` outlives this.
  explicit NodeFiles(const ReportContext& context);

  void Write(const BlockHeader& header, const NodeTable& table);

 private:
  // The folder Node\<name> of one name, and its file for the date last
  // written.
  struct Folder {
    std::string_view name;  // the key it is kept under
    bool usable = false;
    bool comma = false;     // the name holds a comma
    bool formula = false;   // the name looks like a formula
    bool asked = false;     // its folder was asked for in this run
    TextSlot<9> file_date;  // the date of `file`
    std::string file;
    CommitLog::FileRef file_ref;
  };
  struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const {
      return std::hash<std::string_view>()(name);
    }
  };

  Folder& Find(std::string_view name);
  // Asks for the folder of `folder`, once per run: the commit log makes it
  // again when an open in it fails.
  // REQUIRES: folder->usable.
  void Make(Folder* folder);
  // Appends one line, made of `pieces`, to the file of `date` in `folder`.
  void Append(Folder* folder, const TextSlot<9>& date,
              std::initializer_list<std::string_view> pieces);
  // Fills `dates_` with the date folder name of each row.
  void TakeDates(const std::vector<LocationEntry>& rows);
  // Fills `ends_` with the end of each row's line and `ends_comma_` with
  // whether a field of it holds a comma.
  void MakeEnds(const NodeTable& table, std::string_view unit_number);

  const ReportContext& context_;
  std::string node_folder_;
  std::unordered_map<std::string, Folder, NameHash, std::equal_to<>> folders_;
  // Reused from block to block.
  std::vector<std::optional<TextSlot<9>>> dates_;
  std::string suffix_;
  std::string ends_text_;
  std::vector<bool> ends_comma_;
  std::vector<std::string_view> ends_;
};

// Writes one block's node files with a NodeFiles of its own.
void WriteNodeFiles(const BlockHeader& header, const NodeTable& table,
                    const ReportContext& context);

}  // namespace tallora

#endif  // TALLORA_REPORTS_NODE_WRITER_H_
