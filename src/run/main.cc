#include <cstdio>
#include <new>

#include "run/run_loop.h"

int main() {
  try {
    return tallora::Run(tallora::RunOptions{});
  } catch (const std::bad_alloc&) {
    // Nowhere is left to report a failed write of this line.
    (void)std::fputs("tallora: out of memory, run ended\n", stderr);
    return 1;
  }
}
