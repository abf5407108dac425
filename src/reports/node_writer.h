// The node files: location transitions by unit and by location.
#ifndef TALLORA_REPORTS_NODE_WRITER_H_
#define TALLORA_REPORTS_NODE_WRITER_H_

#include <cstddef>

#include "input/block_state.h"
#include "reports/report_context.h"

namespace tallora {

// Rows of the node table: two per location transition event.
inline constexpr std::size_t kNodeTableRows = 5000;

// Gathers the block's "Location <from> -> <to>" events into the node table
// (an Exit row for <from> and an Enter row for <to>, the first 2500 events)
// and the last "Route <name>" event's name, then makes the folders Node and
// Node\<unit label> and appends each row to the unit's file
// Node\<unit label>\DDMMYYYY.csv and then to each location's file
// Node\<location>\DDMMYYYY.csv, the date folder name taken from the row's
// timestamp. A file whose path would need an unusable name (unit label,
// location, date) is not written and the name is reported; a file that
// cannot be opened is reported.
void WriteNodeFiles(const BlockHeader& header, const EventList& events,
                    const ReportContext& context);

}  // namespace tallora

#endif  // TALLORA_REPORTS_NODE_WRITER_H_
