// The program's run: banner, settings, the block loop and the final wait.
#ifndef TALLORA_RUN_RUN_LOOP_H_
#define TALLORA_RUN_RUN_LOOP_H_

#include <cstdio>

#include "reports/output_files.h"

namespace tallora {

struct RunOptions {
  FileMode file_mode = FileMode::kKeepOpen;
  std::FILE* console_out = stdout;
  std::FILE* console_in = stdin;
  std::FILE* diagnostics = stderr;
};

// Runs the tool in the working directory: prints the banner, loads
// tallora.ini, reads sqlline.txt block by block, writing each block's DHE,
// node and shift summary files and one progress line, then waits for one
// character on the console. Returns the exit status: 0, or 1 when any
// failure was reported on the diagnostics stream (input missing or
// unreadable, a report file not opened or not fully written, a name refused).
int Run(const RunOptions& options);

}  // namespace tallora

#endif  // TALLORA_RUN_RUN_LOOP_H_
