// The program entry: signal and console handling, process limits, and the
// run.
#include <atomic>
#include <cstdio>
#include <new>
#include <string_view>
#include <vector>

#include "run/arguments.h"
#include "run/run_loop.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

std::atomic<int> interrupts{0};
std::atomic<bool> waiting{false};

static_assert(std::atomic<int>::is_always_lock_free &&
              std::atomic<bool>::is_always_lock_free);

#ifdef _WIN32

// Runs on a thread of its own. Closing the console (or logging off) ends
// the process once the handler returns, about 5 s later at the latest, so
// the handler waits there for the run to write out its block and exit.
BOOL WINAPI OnConsoleEvent(DWORD event) {
  interrupts.fetch_add(1);
  if (waiting.load()) {
    ExitProcess(tallora::kInterruptedStatus);
  }
  if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT ||
      event == CTRL_SHUTDOWN_EVENT) {
    Sleep(INFINITE);
  }
  return TRUE;
}

void SetUpProcess() {
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

// True iff no other process shares the console: the program was started by
// a double-click or by dropping a file on it, and its window closes when it
// ends.
bool OwnsConsole() {
  DWORD processes[2];
  return GetConsoleProcessList(processes, 2) == 1;
}

#else

void OnInterrupt([[maybe_unused]] int signal_number) {
  interrupts.fetch_add(1);
  if (waiting.load()) {
    _exit(tallora::kInterruptedStatus);
  }
}

void SetUpProcess() {
  // A write past a file-size limit, or to a closed pipe, then fails and is
  // reported instead of ending the process.
  (void)signal(SIGXFSZ, SIG_IGN);
  (void)signal(SIGPIPE, SIG_IGN);
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  // Reads and writes in progress go on; the run looks at the count between
  // blocks and at every refill of its input.
  action.sa_flags = SA_RESTART;
  for (const int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
    sigaction(signal_number, &action, nullptr);
  }
  // Report files stay open between commits: allow a few thousand of them
  // where the hard limit permits.
  constexpr rlim_t kWanted = 8192 + 64;
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < kWanted) {
    limit.rlim_cur = limit.rlim_max == RLIM_INFINITY || limit.rlim_max > kWanted
                         ? kWanted
                         : limit.rlim_max;
    (void)setrlimit(RLIMIT_NOFILE, &limit);
  }
}

bool OwnsConsole() {
  return false;
}

#endif

// Answers arguments other than none: the usage, the version, or a refusal.
int AnswerArguments(const tallora::Arguments& arguments) {
  using Action = tallora::Arguments::Action;
  int status = 0;
  // A failed write to stdout shows in its flush.
  const auto put = [](std::string_view text, std::FILE* to) {
    (void)std::fwrite(text.data(), 1, text.size(), to);
  };
  if (arguments.action == Action::kHelp) {
    put(tallora::Usage(), stdout);
  } else if (arguments.action == Action::kVersion) {
    put(tallora::VersionLine(), stdout);
  } else {
    put(arguments.refusal + "\n\n", stderr);
    put(tallora::Usage(), stderr);
    status = tallora::kRefusedArgumentsStatus;
  }
  if (std::fflush(stdout) != 0 && status == 0) {
    status = 1;
  }
  if (OwnsConsole()) {
    (void)std::fputs("\nPress Enter to close this window.\n", stdout);
    (void)std::fflush(stdout);
    (void)std::getchar();
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> words(argv + (argc > 0 ? 1 : 0),
                                            argv + (argc > 0 ? argc : 0));
  const tallora::Arguments arguments = tallora::ParseArguments(words);
  if (arguments.action != tallora::Arguments::Action::kRun) {
    return AnswerArguments(arguments);
  }
  SetUpProcess();
  tallora::RunOptions options;
  options.interrupts = &interrupts;
  options.waiting = &waiting;
  try {
    return tallora::Run(options);
  } catch (const std::bad_alloc&) {
    // Nowhere is left to report a failed write of this line.
    (void)std::fputs("tallora: out of memory, run ended\n", stderr);
    return 1;
  }
}
