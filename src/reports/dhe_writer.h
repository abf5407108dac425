// The DHE report file of a unit number: one line per segment.
#ifndef TALLORA_REPORTS_DHE_WRITER_H_
#define TALLORA_REPORTS_DHE_WRITER_H_

#include <cstddef>
#include <string>

#include "input/block_state.h"
#include "reports/report_context.h"

namespace tallora {

// One block's lines of its DHE report file: when the leading integer of the
// unit number is not 0, "<dhe_text_1>,<dhe_text_2> <unit_label>" for every
// segment, appended to dhe\<number>.rep under the output root. The file is
// created even for a block without segments. The dhe folder is never made:
// a missing folder is how DHE reports are turned off.
//
// Lines are taken as each segment is read and handed to the commit log in
// pieces of bounded size, the last of them by Finish().
class DheReport {
 public:
  // REQUIRES: `header` and `context` outlive this report.
  DheReport(const BlockHeader& header, const ReportContext& context);

  // Takes the line of one segment, in file order.
  void Add(const SegmentRecord& segment);

  // Appends what is left of the block's lines; called once, at the end of
  // the block.
  void Finish();

 private:
  void Append();

  const BlockHeader& header_;
  const ReportContext& context_;
  std::string path_;  // empty when the block writes no DHE file
  std::string lines_;
  std::size_t line_count_ = 0;
  CommitLog::FileRef file_ref_;
};

}  // namespace tallora

#endif  // TALLORA_REPORTS_DHE_WRITER_H_
