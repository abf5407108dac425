#include "reports/shift_writer.h"

#include <string>

#include "reports/csv_line.h"
#include "reports/report_path.h"
#include "timecalc/duration.h"

namespace tallora {
namespace {

// Appends the block's summary line to `*text`; returns true iff a field
// held a comma.
bool SummaryLine(const BlockHeader& header, const SegmentSpan& span,
                 const SegmentTotals& totals, const PtoTotals& pto,
                 const GridSums& grid, std::string* text) {
  // Stays empty when the PTO time is outside 0 to 9999 hours.
  DurationText pto_time;
  SecondsToDuration(pto.seconds, &pto_time);

  CsvLine line(text);
  line.Add(header.unit_label.view())
      .Add(kUnknownUnitName)
      .Add(span.start_text.view())
      .Add(span.end_text.view())
      .Add(span.start_stamp.view())
      .Add(span.end_stamp.view())
      .Add(totals.time_a.view())
      .Add(totals.count_b.view())
      .Add(totals.time_b.view())
      .Add(header.line_159.view())
      .Add(totals.time_c.view())
      .Add(header.line_152.view())
      .Add(totals.count_a.view())
      .Add(0)
      .Add(pto.fuel)
      .Add(pto.distance)
      .Add(pto_time.view())
      .Add(header.line_11.view())
      .Add(header.line_10.view())
      .Add(header.line_9.view())
      .Add(header.line_13.view())
      .Add(grid.sum_1)
      .Add(grid.sum_2)
      .Add(grid.sum_3)
      .Add(header.line_149.view())
      .Add(header.line_150.view())
      .Add(header.line_151.view())
      .Add(header.unit_number.view())
      .End();
  return line.field_holds_comma();
}

}  // namespace

void WriteShiftSummary(const BlockHeader& header, const SegmentSpan& span,
                       const SegmentTotals& totals, const PtoTotals& pto,
                       const GridSums& grid, const ReportContext& context) {
  const std::string shift_folder = OutputPath(context.output_root, {"Shift"});
  context.files->MakeFolder(shift_folder);
  const std::string_view block_date = header.block_date.view();
  const auto date = DateFolderName(block_date);
  if (!date) {
    context.diagnostics->UnusableName(block_date);
    return;
  }
  const std::string date_folder =
      OutputPath(context.output_root, {"Shift", date->view()});
  context.files->MakeFolder(date_folder);
  const std::string path =
      OutputPath(context.output_root, {"Shift", date->view(), "Combined.csv"});
  std::string line;
  if (SummaryLine(header, span, totals, pto, grid, &line)) {
    context.diagnostics->WarnInBlock(Warning::kComma);
  }
  if (LooksLikeFormula(header.unit_label.view())) {
    context.diagnostics->WarnInBlock(Warning::kFormula);
  }
  context.files->Append(path, FileKind::kShift, line);
}

}  // namespace tallora
