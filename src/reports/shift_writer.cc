#include "reports/shift_writer.h"

#include <string>

#include "reports/csv_line.h"
#include "reports/report_path.h"
#include "timecalc/duration.h"

namespace tallora {
namespace {

std::string SummaryLine(const BlockHeader& header,
                        const std::vector<SegmentRecord>& segments,
                        const SegmentTotals& totals, const PtoTotals& pto,
                        const GridSums& grid) {
  // A block without segments has nothing to show as its start and end.
  static const SegmentRecord kNoSegment;
  const SegmentRecord& first = segments.empty() ? kNoSegment : segments.front();
  const SegmentRecord& last = segments.empty() ? kNoSegment : segments.back();
  // Stays empty when the PTO time is outside 0 to 9999 hours.
  DurationText pto_time;
  SecondsToDuration(pto.seconds, &pto_time);

  const auto cut = [](const auto& slot) { return CutAtLineEnd(slot.view()); };
  return CsvLine()
      .Add(cut(header.unit_label))
      .Add(kUnknownUnitName)
      .Add(cut(first.start_text))
      .Add(cut(last.end_text))
      .Add(cut(first.start_stamp))
      .Add(cut(last.end_stamp))
      .Add(cut(totals.time_a))
      .Add(cut(totals.count_b))
      .Add(cut(totals.time_b))
      .Add(cut(header.line_159))
      .Add(cut(totals.time_c))
      .Add(cut(header.line_152))
      .Add(cut(totals.count_a))
      .Add(0)
      .Add(pto.fuel)
      .Add(pto.distance)
      .Add(pto_time.view())
      .Add(cut(header.line_11))
      .Add(cut(header.line_10))
      .Add(cut(header.line_9))
      .Add(cut(header.line_13))
      .Add(grid.sum_1)
      .Add(grid.sum_2)
      .Add(grid.sum_3)
      .Add(cut(header.line_149))
      .Add(cut(header.line_150))
      .Add(cut(header.line_151))
      .Add(cut(header.unit_number))
      .Finish();
}

}  // namespace

void WriteShiftSummary(const BlockHeader& header,
                       const std::vector<SegmentRecord>& segments,
                       const SegmentTotals& totals, const PtoTotals& pto,
                       const GridSums& grid, const ReportContext& context) {
  const std::string shift_folder = OutputPath(context.output_root, {"Shift"});
  context.files->MakeFolder(shift_folder);
  const std::string_view block_date = CutAtLineEnd(header.block_date.view());
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
  context.files->Append(path, FileKind::kShift,
                        SummaryLine(header, segments, totals, pto, grid));
}

}  // namespace tallora
