// The tool, with every report file opened and closed on each append.
#include <cstdio>
#include <new>

#include "run/run_loop.h"

int main() {
  try {
    tallora::RunOptions options;
    options.file_mode = tallora::FileMode::kOpenPerAppend;
    return tallora::Run(options);
  } catch (const std::bad_alloc&) {
    std::fputs("tallora: out of memory, run ended\n", stderr);
    return 1;
  }
}
