// The node table: a block's location transitions, gathered from its events.
#ifndef TALLORA_COMPUTE_NODE_TABLE_H_
#define TALLORA_COMPUTE_NODE_TABLE_H_

#include <cstddef>
#include <string_view>
#include <vector>

#include "input/block_state.h"
#include "input/read_notes.h"
#include "text/text_slot.h"

namespace tallora {

// Rows of the node table: two per location transition event.
inline constexpr std::size_t kNodeTableRows = 5000;

// One row: a location left or entered, copied out of its event.
// A location name and a route name as the node table keeps them.
using LocationName = TextSlot<30>;
using RouteName = TextSlot<32>;

struct LocationEntry {
  LocationName name;
  std::string_view kind;  // "Exit" or "Enter"
  // The event's timestamp as stored, line end included: its date folder is
  // read from it as it stands.
  TextSlot<kEventTimestampWidth> timestamp;
  std::size_t timestamp_line_size = 0;

  // The timestamp cut at line end, as the row shows it.
  std::string_view timestamp_line() const {
    return timestamp.view().substr(0, timestamp_line_size);
  }
};

// Gathers the "Location <from> -> <to>" events of a block into rows, an
// Exit row for <from> and an Enter row for <to>, while the table holds fewer
// than kNodeTableRows rows; later ones are passed over. Names keep at most 29
// characters. Also keeps the name of the block's last "Route <name>" event
// (at most 31 characters), which every row of the block is written with.
class NodeTable {
 public:
  NodeTable() { rows_.reserve(kNodeTableRows); }

  // Empties the table and the route, for the next block.
  void Clear() {
    rows_.clear();
    route_.Clear();
  }

  // Looks at one event of the block, in file order, noting in `*notes` a
  // location event passed over (not "Location A -> B", or past the table's
  // rows), words left over after a name, and names cut to what is kept.
  void Add(const EventRecord& event, ReadNotes* notes);

  const std::vector<LocationEntry>& rows() const { return rows_; }
  std::string_view route() const { return route_.view(); }

 private:
  std::vector<LocationEntry> rows_;
  RouteName route_;
};

}  // namespace tallora

#endif  // TALLORA_COMPUTE_NODE_TABLE_H_
