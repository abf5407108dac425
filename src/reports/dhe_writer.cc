#include "reports/dhe_writer.h"

#include <cstddef>
#include <cstdint>

#include "reports/csv_line.h"
#include "reports/report_path.h"
#include "text/digits.h"

namespace tallora {
namespace {

// A block's lines are handed on once they reach this size, so that a block
// of any number of segments takes bounded memory.
constexpr std::size_t kPieceBytes = std::size_t{64} * 1024;

}  // namespace

DheReport::DheReport(const BlockHeader& header, const ReportContext& context)
    : header_(header), context_(context) {
  const std::int32_t unit_number = LeadingInteger(header.unit_number.view());
  if (unit_number == 0) {
    return;
  }
  std::string file_name;
  AppendDecimal(unit_number, &file_name);
  file_name += ".rep";
  path_ = OutputPath(context.output_root, {"dhe", file_name});
}

void DheReport::Add(const SegmentRecord& segment) {
  if (path_.empty()) {
    return;
  }
  CsvLine line(&lines_);
  line.Add(segment.dhe_text_1)
      .Add(segment.dhe_text_2)
      .Then(" ")
      .Then(header_.unit_label.view())
      .End();
  ++line_count_;
  if (line.field_holds_comma()) {
    context_.diagnostics->WarnInBlock(Warning::kComma);
  }
  if (lines_.size() >= kPieceBytes) {
    Append();
  }
}

void DheReport::Finish() {
  if (!path_.empty()) {
    Append();
  }
}

void DheReport::Append() {
  context_.files->Append(path_, FileKind::kDhe, {lines_}, line_count_,
                         &file_ref_);
  lines_.clear();
  line_count_ = 0;
}

}  // namespace tallora
