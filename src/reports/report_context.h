// What every report writer needs besides the block: where and how to write.
#ifndef TALLORA_REPORTS_REPORT_CONTEXT_H_
#define TALLORA_REPORTS_REPORT_CONTEXT_H_

#include <string_view>

#include "reports/commit.h"
#include "reports/diagnostics.h"

namespace tallora {

struct ReportContext {
  std::string_view output_root;
  CommitLog* files;
  Diagnostics* diagnostics;
};

}  // namespace tallora

#endif  // TALLORA_REPORTS_REPORT_CONTEXT_H_
