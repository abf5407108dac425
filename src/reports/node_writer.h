// The node files: location transitions by unit and by location.
#ifndef TALLORA_REPORTS_NODE_WRITER_H_
#define TALLORA_REPORTS_NODE_WRITER_H_

#include "compute/node_table.h"
#include "input/block_state.h"
#include "reports/report_context.h"

namespace tallora {

// Makes the folders Node and Node\<unit label> and appends each row of the
// block's node table, with the table's route, to the unit's file
// Node\<unit label>\DDMMYYYY.csv and then to each location's file
// Node\<location>\DDMMYYYY.csv, the date folder name taken from the row's
// timestamp. A file whose path would need an unusable name (unit label,
// location, date) is not written and the name is reported; a file that
// cannot be opened is reported.
void WriteNodeFiles(const BlockHeader& header, const NodeTable& table,
                    const ReportContext& context);

}  // namespace tallora

#endif  // TALLORA_REPORTS_NODE_WRITER_H_
