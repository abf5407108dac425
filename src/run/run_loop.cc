#include "run/run_loop.h"

#include <cerrno>
#include <memory>
#include <string_view>

#include "compute/grid_sums.h"
#include "compute/node_table.h"
#include "compute/pto_account.h"
#include "compute/segment_totals.h"
#include "input/block_state.h"
#include "input/line_reader.h"
#include "input/section_readers.h"
#include "reports/dhe_writer.h"
#include "reports/diagnostics.h"
#include "reports/node_writer.h"
#include "reports/report_context.h"
#include "reports/shift_writer.h"
#include "run/settings.h"

namespace tallora {
namespace {

constexpr char kInputName[] = "sqlline.txt";
constexpr char kSettingsName[] = "tallora.ini";

class Console {
 public:
  explicit Console(std::FILE* out) : out_(out) {}
  void Write(std::string_view text) {
    // A failed write leaves the stream's error set; the run checks it once,
    // at its end.
    (void)std::fwrite(text.data(), 1, text.size(), out_);
  }

 private:
  std::FILE* out_;
};

void ProcessBlocks(LineReader* in, Console* console,
                   const ReportContext& context) {
  // Both live for the whole run: header fields a block does not rewrite
  // keep the previous block's text, and the node table keeps its room.
  auto header = std::make_unique<BlockHeader>();
  auto nodes = std::make_unique<NodeTable>();
  while (true) {
    context.diagnostics->StartBlock();
    if (!ReadBlockHeader(in, header.get())) {
      return;
    }

    SegmentTotals totals;
    SegmentSpan span;
    DheReport dhe(*header, context);
    SegmentReader segments(in);
    SegmentRecord segment;
    while (segments.Next(&segment)) {
      AddSegment(segment, &totals);
      AddSegment(segment, &span);
      dhe.Add(segment);
    }

    PtoAccount pto;
    nodes->Clear();
    EventReader events(in, segments.event_count());
    EventRecord event;
    while (events.Next(&event)) {
      pto.Add(event);
      nodes->Add(event);
    }

    console->Write(header->unit_label.view());
    console->Write(header->block_date.view());
    console->Write(" DHE ");
    dhe.Finish();
    console->Write(" Nodes ");
    WriteNodeFiles(*header, *nodes, context);
    console->Write(" Shifts ");
    WriteShiftSummary(*header, span, totals, pto.totals(),
                      SumDurationGrid(*header), context);
    console->Write("\n");

    context.files->Flush();
  }
}

}  // namespace

int Run(const RunOptions& options) {
  Console console(options.console_out);
  Diagnostics diagnostics(options.diagnostics);
  console.Write("Beware Witchcraft!!\n");
  int settings_error = 0;
  const OutputRoot root = LoadSettings(kSettingsName, &settings_error);
  if (settings_error != 0) {
    diagnostics.Failure("read error, output root taken as empty", kSettingsName,
                        settings_error);
  }

  if (std::FILE* input = std::fopen(kInputName, "rb"); input == nullptr) {
    diagnostics.Failure("cannot open input", kInputName, errno);
  } else {
    OutputFiles files(options.file_mode, &diagnostics);
    LineReader in(input);
    ProcessBlocks(&in, &console, {root.view(), &files, &diagnostics});
    files.CloseAll();
    if (in.error()) {
      diagnostics.Failure("read error, input ends here", kInputName,
                          in.error_number());
    }
    (void)std::fclose(input);  // read only: nothing can be lost
  }

  if (std::fflush(options.console_out) != 0 ||
      std::ferror(options.console_out) != 0) {
    diagnostics.Failure("cannot write console output", "standard output", EIO);
  }
  (void)std::fgetc(options.console_in);  // any key, or none, ends the wait
  return diagnostics.failed() ? 1 : 0;
}

}  // namespace tallora
