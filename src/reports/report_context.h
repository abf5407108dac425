// What every report writer needs besides the block: where and how to write.
#ifndef TALLORA_REPORTS_REPORT_CONTEXT_H_
#define TALLORA_REPORTS_REPORT_CONTEXT_H_

#include <string_view>

#include "reports/diagnostics.h"
#include "reports/output_files.h"

namespace tallora {

struct ReportContext {
  std::string_view output_root;
  OutputFiles* files;
  Diagnostics* diagnostics;
};

}  // namespace tallora

#endif  // TALLORA_REPORTS_REPORT_CONTEXT_H_
