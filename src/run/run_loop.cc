#include "run/run_loop.h"

#include <cerrno>
#include <chrono>
#include <memory>
#include <string>
#include <string_view>

#include "compute/grid_sums.h"
#include "compute/node_table.h"
#include "compute/pto_account.h"
#include "compute/segment_totals.h"
#include "input/block_state.h"
#include "input/line_reader.h"
#include "input/read_notes.h"
#include "input/section_readers.h"
#include "reports/dhe_writer.h"
#include "reports/diagnostics.h"
#include "reports/node_writer.h"
#include "reports/report_context.h"
#include "reports/report_path.h"
#include "reports/shift_writer.h"
#include "run/settings.h"

namespace tallora {
namespace {

constexpr char kInputName[] = "sqlline.txt";
constexpr char kSettingsName[] = "tallora.ini";

// What to do with a UTF-16 input file.
constexpr std::string_view kSaveAsEightBit =
    "saved as UTF-16; save it as 8-bit text (ANSI or UTF-8)";

// Longest time between commits while blocks keep coming.
constexpr std::chrono::milliseconds kCommitInterval{100};

// The console text, held back until the lines of its blocks are written.
class Console {
 public:
  explicit Console(std::FILE* out) : out_(out) {}

  void Add(std::string_view text) { pending_.append(text); }

  // At a commit: writes out the text of the blocks handed to the commit
  // before, whose lines are now written, and holds back the text added
  // since until the next commit.
  void Committed() {
    Write(handed_);
    handed_.swap(pending_);
    pending_.clear();
  }

  // Writes out and flushes everything added, once every line is written.
  void Publish() {
    Write(handed_);
    Write(pending_);
    handed_.clear();
    pending_.clear();
  }

  bool failed() const { return error_ != 0 || std::ferror(out_) != 0; }
  int error() const { return error_ != 0 ? error_ : EIO; }

 private:
  void Fail() {
    if (error_ == 0) {
      error_ = errno != 0 ? errno : EIO;
    }
  }

  // Writes out and flushes `text`. A failure is remembered.
  void Write(const std::string& text) {
    if (!text.empty() &&
        std::fwrite(text.data(), 1, text.size(), out_) != text.size()) {
      Fail();
    }
    if (std::fflush(out_) != 0) {
      Fail();
    }
  }

  std::FILE* out_;
  std::string handed_;   // of blocks whose lines are being written
  std::string pending_;  // of blocks not yet committed
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
  std::uint64_t blocks = 0;
  // The last block written, cut at line end.
  std::string unit_label;
  std::string block_date;
  // True iff an interrupt ended the input in the middle of that block.
  bool last_block_cut_short = false;
  // True iff the loop ended at the end of the input rather than on an
  // interrupt.
  bool input_done = false;
};

// Turns what the readers noted so far into warnings, placed at the first
// line of each kind in the block set last.
void TakeNotes(LineReader* in, Diagnostics* diagnostics) {
  static_assert(static_cast<int>(ReadNote::kNodeTableFull) ==
                static_cast<int>(Warning::kNodeTableFull));
  ReadNotes& notes = in->notes();
  for (std::size_t kind = 0; kind < kReadNoteKinds; ++kind) {
    const ReadNotes::Count& count = notes[static_cast<ReadNote>(kind)];
    std::uint64_t times = count.count;
    if (static_cast<ReadNote>(kind) == ReadNote::kEndsInsideBlock) {
      // Once, whichever read found the end; not at all when an interrupt
      // ended the input, which is said on its own.
      times = in->ended_early() || times == 0 ? 0 : 1;
    }
    diagnostics->Warn(static_cast<Warning>(kind), times, [&] {
      return diagnostics->InputPlace(count.first_line);
    });
  }
  notes.Clear();
}

LoopEnd ProcessBlocks(LineReader* in, Console* console,
                      const ReportContext& context, const RunOptions& options) {
  using Clock = std::chrono::steady_clock;
  LoopEnd end;
  // Both live for the whole run: header fields a block does not rewrite
  // keep the previous block's text, and the node table keeps its room.
  auto header = std::make_unique<BlockHeader>();
  auto nodes = std::make_unique<NodeTable>();
  NodeFiles node_files(context);
  Clock::time_point last_commit = Clock::now();
  while (true) {
    context.diagnostics->StartBlock();
    if (!ReadBlockHeader(in, header.get())) {
      end.input_done = true;
      return end;
    }
    context.diagnostics->SetBlock(header->marker_line,
                                  header->unit_label.view(),
                                  header->block_date.view());

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
      nodes->Add(event, &in->notes());
    }

    console->Add(header->unit_label.view());
    console->Add(header->block_date.view());
    console->Add(" DHE ");
    dhe.Finish();
    console->Add(" Nodes ");
    node_files.Write(*header, *nodes);
    console->Add(" Shifts ");
    WriteShiftSummary(*header, span, totals, pto.totals(),
                      SumDurationGrid(*header), context);
    console->Add("\n");

    TakeNotes(in, context.diagnostics);
    end.any_block = true;
    ++end.blocks;
    end.unit_label = header->unit_label.view();
    end.block_date = header->block_date.view();
    end.last_block_cut_short = in->ended_early();
    const bool interrupted = Interrupts(options) > 0;
    if (interrupted || context.files->pending_bytes() >= CommitLog::kBudget ||
        Clock::now() - last_commit >= kCommitInterval) {
      context.files->Commit();
      console->Committed();
      last_commit = Clock::now();
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

// Warns of a settings file that is missing or names a root that plainly is
// not meant; reports a root folder that does not exist, after which the
// failed opens of report files that follow from it are not shown.
void CheckSettings(const Settings& settings, FileSystem* file_system,
                   Diagnostics* diagnostics) {
  const std::string_view root = settings.root.view();
  const auto place = [&] {
    return std::string(kSettingsName) + " line 1: " + Quoted(root);
  };
  if (!settings.found) {
    diagnostics->Warn(Warning::kNoSettings,
                      [] { return std::string(kSettingsName); });
  }
  if (settings.utf16) {
    diagnostics->Failure("not 8-bit text", kSettingsName, kSaveAsEightBit);
  }
  if (settings.read_error != 0) {
    diagnostics->Failure("read error, output root taken as empty",
                         kSettingsName, settings.read_error);
  }
  if (!root.empty() && (root.back() == ' ' || root.back() == '\t')) {
    diagnostics->Warn(Warning::kRootEndsInSpace, place);
  }
  if (!root.empty() && root.back() != '\\' && root.back() != '/') {
    diagnostics->Warn(Warning::kRootWithoutSeparator, place);
  }
  const std::string folder(ParentFolder(NativePath(std::string(root))));
  if (!file_system->IsFolder(folder)) {
    diagnostics->Failure(
        "output root folder does not exist",
        folder + ": create it, or correct line 1 of " + kSettingsName, 0);
    diagnostics->HideOpenFailures();
  }
}

// What reading the export came to.
struct InputRun {
  LoopEnd end;
  std::uint64_t lines_written = 0;
  std::size_t files_written = 0;
};

// Reads sqlline.txt block by block and writes its reports, reporting what
// goes wrong on the way and where an interrupt stopped it.
InputRun ProcessInput(std::string_view root, FileSystem* file_system,
                      Console* console, Diagnostics* diagnostics,
                      const RunOptions& options) {
  InputRun run;
  std::FILE* input = std::fopen(kInputName, "rb");
  if (input == nullptr) {
    diagnostics->Failure("cannot open input", kInputName, errno);
    return run;
  }
  CommitLog files(file_system, options.file_mode, diagnostics,
                  options.open_files);
  LineReader in(input);
  if (options.interrupts != nullptr) {
    in.EndWhen(options.interrupts, 2);
  }
  const bool utf16 = in.NextIs("\xFF\xFE") || in.NextIs("\xFE\xFF");
  in.SkipIfNext(kUtf8Mark);
  run.end = ProcessBlocks(&in, console, {root, &files, diagnostics}, options);
  // Lines skipped after the last block belong to no block.
  diagnostics->SetBlock(0, {}, {});
  TakeNotes(&in, diagnostics);
  if (run.end.blocks == 0 && utf16) {
    diagnostics->Failure("not 8-bit text", kInputName, kSaveAsEightBit);
  } else if (run.end.blocks == 0 &&
             diagnostics->warnings(Warning::kSkippedOutsideBlock) > 0) {
    diagnostics->Failure("not an export", kInputName,
                         "no block found: a block starts with a line "
                         "\"tr..h...\" such as \"tripheader\"");
  }
  files.Close();
  console->Publish();
  run.lines_written = files.lines_written();
  run.files_written = files.files_written();
  if (in.error()) {
    diagnostics->Failure("read error, input ends here", kInputName,
                         in.error_number());
  }
  (void)std::fclose(input);  // read only: nothing can be lost
  if (Interrupts(options) > 0) {
    ReportInterrupt(run.end, run.end.input_done && !in.ended_early(),
                    diagnostics);
  }
  return run;
}

// The closing summary: blocks read, lines appended, files written, and the
// output root as the report paths reach it.
std::string Summary(const InputRun& run, std::string_view root) {
  const auto counted = [](std::uint64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
  };
  return counted(run.end.blocks, "block", "blocks") + " read, " +
         counted(run.lines_written, "line", "lines") + " appended to " +
         (run.files_written >= CommitLog::kMostFilesCounted
              ? std::to_string(run.files_written) + " or more files"
              : counted(run.files_written, "file", "files")) +
         " under " + ResolvedRoot(root);
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
  const Settings settings = LoadSettings(kSettingsName);
  const std::string_view root = settings.root.view();
  CheckSettings(settings, file_system, &diagnostics);
  const InputRun run =
      ProcessInput(root, file_system, &console, &diagnostics, options);
  console.Publish();
  if (console.failed()) {
    diagnostics.Failure("cannot write console output", "standard output",
                        console.error());
  }
  diagnostics.Finish(Summary(run, root));
  if (Interrupts(options) > 0) {
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
