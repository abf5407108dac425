// The program's run: banner, settings, the block loop and the final wait.
#ifndef TALLORA_RUN_RUN_LOOP_H_
#define TALLORA_RUN_RUN_LOOP_H_

#include <atomic>
#include <cstddef>
#include <cstdio>

#include "reports/commit.h"
#include "reports/file_system.h"

namespace tallora {

// The exit status of a run stopped by an interrupt.
inline constexpr int kInterruptedStatus = 130;

struct RunOptions {
  FileMode file_mode = FileMode::kKeepOpen;
  std::FILE* console_out = stdout;
  std::FILE* console_in = stdin;
  std::FILE* diagnostics = stderr;
  // Report files held open at once; 0 means as many as the process's
  // open-file limit allows.
  std::size_t open_files = 0;
  // Where report files go; nullptr means the platform's file system.
  FileSystem* file_system = nullptr;
  // Interrupts received so far (Ctrl+C and the like), counted by the
  // caller's handlers; nullptr when none are counted.
  const std::atomic<int>* interrupts = nullptr;
  // Set to true while the run waits for Enter at its end, so that a handler
  // may end the process at once with kInterruptedStatus.
  std::atomic<bool>* waiting = nullptr;
};

// Runs the tool in the working directory: prints the banner, loads
// tallora.ini, reads sqlline.txt block by block, making each block's DHE,
// node and shift summary lines and its progress line, then waits for one
// character on the console. Lines are written out in commits at block
// boundaries (about every 100 ms, or every few MB), and the console shows a
// block's progress line only once its lines are written.
//
// A first interrupt ends the run after the block in progress, a second one
// at once, as at the end of the input; either way everything read is
// written, one line on the diagnostics stream says where the run stopped,
// there is no final wait, and the status is kInterruptedStatus. Otherwise
// returns 0, or 1 when any failure was reported on the diagnostics stream
// (input missing or unreadable, a report line not written, a name refused).
int Run(const RunOptions& options);

}  // namespace tallora

#endif  // TALLORA_RUN_RUN_LOOP_H_
