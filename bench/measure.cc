// Runs a command and writes its wall time, peak resident memory and exit
// status to a file, for the benchmark script: tallora_measure REPORT CMD...
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: tallora_measure REPORT COMMAND [ARG...]\n", stderr);
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child < 0) {
    std::fprintf(stderr, "tallora_measure: fork: %s\n", std::strerror(errno));
    return 1;
  }
  if (child == 0) {
    execvp(argv[2], argv + 2);
    std::fprintf(stderr, "tallora_measure: %s: %s\n", argv[2],
                 std::strerror(errno));
    _exit(127);
  }
  int status = 0;
  struct rusage usage;
  pid_t waited;
  do {
    waited = wait4(child, &status, 0, &usage);
  } while (waited < 0 && errno == EINTR);
  const std::chrono::duration<double> elapsed =
      std::chrono::steady_clock::now() - start;
  if (waited < 0) {
    std::fprintf(stderr, "tallora_measure: wait: %s\n", std::strerror(errno));
    return 1;
  }
  const int exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
  std::FILE* report = std::fopen(argv[1], "w");
  if (report == nullptr) {
    std::fprintf(stderr, "tallora_measure: %s: %s\n", argv[1],
                 std::strerror(errno));
    return 1;
  }
  // Seconds, peak resident KiB (ru_maxrss is in KiB on Linux), exit status.
  std::fprintf(report, "%.4f %ld %d\n", elapsed.count(), usage.ru_maxrss,
               exit_status);
  return std::fclose(report) == 0 ? 0 : 1;
}
