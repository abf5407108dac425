// The DHE report file of a unit number: one line per segment.
#ifndef TALLORA_REPORTS_DHE_WRITER_H_
#define TALLORA_REPORTS_DHE_WRITER_H_

#include <vector>

#include "input/block_state.h"
#include "reports/report_context.h"

namespace tallora {

// When the leading integer of the unit number is not 0, appends
// "<dhe_text_1>,<dhe_text_2> <unit_label>" for every segment to
// dhe\<number>.rep under the output root, creating the file even for a
// block without segments. The dhe folder is never made: when the file
// cannot be opened nothing is written and nothing is reported, as a missing
// folder is how DHE reports are turned off.
void WriteDheReport(const BlockHeader& header,
                    const std::vector<SegmentRecord>& segments,
                    const ReportContext& context);

}  // namespace tallora

#endif  // TALLORA_REPORTS_DHE_WRITER_H_
