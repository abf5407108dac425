#include "run/run_loop.h"

#include <cerrno>
#include <chrono>
#include <memory>
#include <string>
#include <string_view>

#include "compute/grid_sums.h"
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

// Longest time between commits while blocks keep coming.
constexpr std::chrono::milliseconds kCommitInterval{100};

// The console text, held back until the lines of its blocks are written.
class Console {
 public:
  explicit Console(std::FILE* out) : out_(out) {}

  void Add(std::string_view text) { pending_.append(text); }

  // Writes out and flushes what was added. A failure is remembered.
  void Publish() {
    if (!pending_.empty() && std::fwrite(pending_.data(), 1, pending_.size(),
                                         out_) != pending_.size()) {
      Fail();
    }
    pending_.clear();
    if (std::fflush(out_) != 0) {
      Fail();
    }
  }

  bool failed() const { return error_ != 0 || std::ferror(out_) != 0; }
  int error() const { return error_ != 0 ? error_ : EIO; }

 private:
  void Fail() {
    if (error_ == 0) {
      error_ = errno != 0 ? errno : EIO;
    }
  }

  std::FILE* out_;
  std::string pending_;
  int error_ = 0;
};

int Interrupts(const RunOptions& options) {
  return options.interrupts == nullptr
             ? 0
             : options.interrupts->load(std::memory_order_relaxed);
}

// Where the block loop stopped.
struct LoopEnd {
  bool any_block = false;
  // The last block written, cut at line end.
  std::string unit_label;
  std::string block_date;
  // True iff an interrupt ended the input in the middle of that block.
  bool last_block_cut_short = false;
  // True iff the loop ended at the end of the input rather than on an
  // interrupt.
  bool input_done = false;
};

LoopEnd ProcessBlocks(LineReader* in, Console* console,
                      const ReportContext& context, const RunOptions& options) {
  using Clock = std::chrono::steady_clock;
  LoopEnd end;
  // Lives for the whole run: header fields a block does not rewrite keep
  // the previous block's text.
  auto block = std::make_unique<BlockState>();
  Clock::time_point last_commit = Clock::now();
  while (true) {
    context.diagnostics->StartBlock();
    if (!ReadBlockHeader(in, &block->header)) {
      end.input_done = true;
      return end;
    }
    ReadSegmentList(in, block.get());
    ReadEventList(in, block.get());
    const SegmentTotals totals = ComputeSegmentTotals(&block->segments);
    BlockHeader& header = block->header;
    header.unit_label.CutAtLineEnd();
    header.block_date.CutAtLineEnd();
    console->Add(header.unit_label.view());
    console->Add(header.block_date.view());
    console->Add(" DHE ");
    WriteDheReport(header, block->segments, context);
    console->Add(" Nodes ");
    WriteNodeFiles(header, block->events, context);
    console->Add(" Shifts ");
    const PtoTotals pto = AccountPto(block->events);
    const GridSums grid = SumDurationGrid(header);
    WriteShiftSummary(header, block->segments, totals, pto, grid, context);
    console->Add("\n");
    block->ReleaseLists();

    end.any_block = true;
    end.unit_label = header.unit_label.view();
    end.block_date = header.block_date.view();
    end.last_block_cut_short = in->ended_early();
    const bool interrupted = Interrupts(options) > 0;
    const Clock::time_point now = Clock::now();
    if (interrupted || context.files->pending_bytes() >= CommitLog::kBudget ||
        now - last_commit >= kCommitInterval) {
      context.files->Commit();
      console->Publish();
      last_commit = now;
    }
    if (interrupted) {
      return end;
    }
  }
}

// Says on the diagnostics stream where an interrupted run stopped.
void ReportInterrupt(const LoopEnd& end, bool whole_input_read,
                     Diagnostics* diagnostics) {
  const std::string rest =
      std::string("the rest of ") + kInputName + " was not read";
  if (!end.any_block) {
    diagnostics->Failure("interrupted", "stopped before the first block", 0);
    return;
  }
  const std::string block =
      "block of " + Quoted(end.unit_label) + " on " + Quoted(end.block_date);
  if (end.last_block_cut_short) {
    diagnostics->Failure("interrupted again",
                         "the " + block + " written as read so far: " + rest,
                         0);
  } else if (whole_input_read) {
    diagnostics->Failure("interrupted",
                         "after the last block, " + block + ": all of " +
                             kInputName + " was read",
                         0);
  } else {
    diagnostics->Failure("interrupted",
                         "stopped after the " + block + ": " + rest, 0);
  }
}

}  // namespace

int Run(const RunOptions& options) {
  Console console(options.console_out);
  Diagnostics diagnostics(options.diagnostics);
  FileSystem* file_system = options.file_system != nullptr
                                ? options.file_system
                                : &PlatformFileSystem();
  console.Add("Beware Witchcraft!!\n");
  console.Publish();
  int settings_error = 0;
  const OutputRoot root = LoadSettings(kSettingsName, &settings_error);
  if (settings_error != 0) {
    diagnostics.Failure("read error, output root taken as empty", kSettingsName,
                        settings_error);
  }
  bool interrupted = false;
  if (std::FILE* input = std::fopen(kInputName, "rb"); input == nullptr) {
    diagnostics.Failure("cannot open input", kInputName, errno);
  } else {
    CommitLog files(file_system, options.file_mode, &diagnostics,
                    options.open_files);
    LineReader in(input);
    if (options.interrupts != nullptr) {
      in.EndWhen(options.interrupts, 2);
    }
    const LoopEnd end = ProcessBlocks(
        &in, &console, {root.view(), &files, &diagnostics}, options);
    files.Close();
    console.Publish();
    if (in.error()) {
      diagnostics.Failure("read error, input ends here", kInputName,
                          in.error_number());
    }
    (void)std::fclose(input);  // read only: nothing can be lost
    interrupted = Interrupts(options) > 0;
    if (interrupted) {
      ReportInterrupt(end, end.input_done && !in.ended_early(), &diagnostics);
    }
  }
  console.Publish();
  if (console.failed()) {
    diagnostics.Failure("cannot write console output", "standard output",
                        console.error());
  }
  if (interrupted || Interrupts(options) > 0) {
    return kInterruptedStatus;
  }
  if (options.waiting != nullptr) {
    options.waiting->store(true);
  }
  // An interrupt that came before the wait began ends the run as one during
  // it does.
  if (Interrupts(options) == 0) {
    (void)std::fgetc(options.console_in);  // any key, or none, ends the wait
  }
  if (options.waiting != nullptr) {
    options.waiting->store(false);
  }
  if (Interrupts(options) > 0) {
    return kInterruptedStatus;
  }
  return diagnostics.failed() ? 1 : 0;
}

}  // namespace tallora
