// Readers of the three sections of a block: header, segment list, events.
#ifndef TALLORA_INPUT_SECTION_READERS_H_
#define TALLORA_INPUT_SECTION_READERS_H_

#include "input/block_state.h"
#include "input/line_reader.h"

namespace tallora {

// Finds the next block marker line (a line with "tr" at positions 0 and 1
// and "h" at position 4) and reads the 207 header lines after it into
// `header`, each with its own read limit. Lines before the marker are passed
// over. Returns false iff the input's end-of-file state is set once the
// marker scan stops: there is then no further block, even when a marker
// line was the input's last line. Header reads that fail at end of input
// leave their fields as the previous block left them.
bool ReadBlockHeader(LineReader* in, BlockHeader* header);

// Reads the block's segments, each a group of 37 lines that starts with a
// line beginning "tr", into `block->segments` in file order, and stores the
// line that ends the list, as read, in `block->admin_line`. No new segment
// is started once the end-of-file state is set; when the list ends that way
// the admin line is empty. A block whose first line does not begin with "tr"
// has no segments, and that line becomes the admin line.
// REQUIRES: `block->segments` is empty.
void ReadSegmentList(LineReader* in, BlockState* block);

// Takes the event count from the admin line ("Admin %d"; 0 when it does not
// match) and reads that many two-line events, a timestamp line and a text
// line. Events whose text begins "Pe" are dropped; the others are appended
// to `block->events` in file order. Reading stops at the first event whose
// timestamp or text read fails; that partial event is dropped.
// REQUIRES: `block->events` is empty.
void ReadEventList(LineReader* in, BlockState* block);

}  // namespace tallora

#endif  // TALLORA_INPUT_SECTION_READERS_H_
