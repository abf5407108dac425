// The shift summary file of a date: one 28-field line per block.
#ifndef TALLORA_REPORTS_SHIFT_WRITER_H_
#define TALLORA_REPORTS_SHIFT_WRITER_H_

#include <string_view>

#include "compute/grid_sums.h"
#include "compute/pto_account.h"
#include "compute/segment_totals.h"
#include "input/block_state.h"
#include "reports/report_context.h"

namespace tallora {

// The name of a unit in the shift summary. No source of unit names exists,
// so every unit reads as this.
inline constexpr std::string_view kUnknownUnitName = "Unknown";

// Makes the folder Shift under the output root, then the date folder
// Shift\DDMMYYYY named from the block date, and appends the block's summary
// line to Combined.csv in it. A block without segments has empty start and
// end columns. A block date that gives no usable folder name is reported and
// writes nothing past the Shift folder; a file that cannot be opened is
// reported.
void WriteShiftSummary(const BlockHeader& header, const SegmentSpan& span,
                       const SegmentTotals& totals, const PtoTotals& pto,
                       const GridSums& grid, const ReportContext& context);

}  // namespace tallora

#endif  // TALLORA_REPORTS_SHIFT_WRITER_H_
