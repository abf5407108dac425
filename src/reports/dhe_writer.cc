#include "reports/dhe_writer.h"

#include <cstdint>
#include <string>

#include "input/text_scan.h"
#include "reports/csv_line.h"
#include "reports/report_path.h"

namespace tallora {

void WriteDheReport(const BlockHeader& header,
                    const std::vector<SegmentRecord>& segments,
                    const ReportContext& context) {
  const std::int32_t unit_number = LeadingInteger(header.unit_number.view());
  if (unit_number == 0) {
    return;
  }
  std::string file_name;
  AppendDecimal(unit_number, &file_name);
  file_name += ".rep";
  const std::string path = OutputPath(context.output_root, {"dhe", file_name});

  const std::string_view unit_label = CutAtLineEnd(header.unit_label.view());
  std::string lines;
  for (const SegmentRecord& segment : segments) {
    lines.append(CutAtLineEnd(segment.dhe_text_1.view()))
        .append(",")
        .append(CutAtLineEnd(segment.dhe_text_2.view()))
        .append(" ")
        .append(unit_label)
        .append("\n");
  }
  context.files->Append(path, FileKind::kDhe, lines);
}

}  // namespace tallora
