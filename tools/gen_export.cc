// Synthetic export generator: writes a telematics export (sqlline.txt) of any
// size for load and layout tests, byte for byte the same for the same options
// on every platform. The blocks come from ExportGenerator
// (tools/export_gen.h). Mixes: typical, location-heavy, and places-5000 (the
// location-heavy one with its moves over 5000 places, same size and line
// count). --one-block-events and --one-block-segments write a single huge
// block instead, for memory tests.

#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

#include "tools/export_gen.h"

namespace tallora {
namespace {

constexpr std::string_view kUsage =
    "usage: gen_export --out FILE [--seed N] (--size-mb M | --blocks N |\n"
    "                  [--one-block-events E] [--one-block-segments S])\n"
    "                  [--mix typical|location-heavy|places-5000] [--crlf]\n"
    "                  [--units K] [--dates D]\n"
    "\n"
    "Writes a synthetic telematics export. The same options give the same\n"
    "bytes on every platform.\n"
    "\n"
    "  --out FILE      file to write (replaced)\n"
    "  --seed N        random seed, default 1\n"
    "  --size-mb M     write whole blocks until M x 1000000 bytes are reached\n"
    "  --blocks N      write exactly N blocks\n"
    "  --one-block-events E\n"
    "                  write one block of E events (3 to 20000000) in the\n"
    "                  location-heavy shares: 80% location moves over the\n"
    "                  mix's places, 1.3% PTO events, 1% routes, 10%\n"
    "                  periodic, the rest others\n"
    "  --one-block-segments S\n"
    "                  write one block of S segments (1 to 5000000); with\n"
    "                  --one-block-events too, one block of both\n"
    "  --mix NAME      typical (default), location-heavy or places-5000\n"
    "  --crlf          end lines with CR LF instead of LF\n"
    "  --units K       units cycled over, default 40 (otherwise 400)\n"
    "  --dates D       consecutive dates from 06/06/2022, default 7\n"
    "\n"
    "Block b is unit b % K on date (b / K) % D. Each block has 1-6\n"
    "segments. Events per block:\n"
    "  typical         30-50 (mean 40): 0-4 PTO engage/disengage pairs\n"
    "                  (~10%), 0-2 PTO durations, 2-6 location moves over\n"
    "                  the unit's round of 5 places (~10%), 1-2 routes,\n"
    "                  30% periodic, the rest ignition, braking, speeding\n"
    "                  and idling (~45%)\n"
    "  location-heavy  150-250 (mean 200): 80% location moves over 48\n"
    "                  places, 0-2 PTO pairs, 0-1 PTO durations, 1-2\n"
    "                  routes, 10% periodic, the rest others (~8%)\n"
    "  places-5000     as location-heavy, with the moves over 5000 places\n"
    "                  named as long as the 48, so the same size and line\n"
    "                  count make node files for thousands of places\n"
    "\n"
    "When a block holds more events than its shift has seconds, their\n"
    "timestamps never fall but may repeat; segments too many for ten\n"
    "seconds each share the shift's seconds evenly.\n";

// The export file, written in large pieces. Every write error is kept and
// reported by Close().
class ExportFile {
 public:
  ExportFile() = default;
  ExportFile(const ExportFile&) = delete;
  ExportFile& operator=(const ExportFile&) = delete;
  ~ExportFile() {
    if (file_ != nullptr) {
      std::fclose(file_);
    }
  }

  // True iff `path` was opened for writing; otherwise fills *err.
  bool Open(const char* path, std::string* err) {
    file_ = std::fopen(path, "wb");
    if (file_ == nullptr) {
      *err = std::string("open: ") + path + ": " + std::strerror(errno);
      return false;
    }
    path_ = path;
    return true;
  }

  // Text is added here, then written out by Drain().
  std::string* buffer() { return &buffer_; }

  // Writes out the buffer once it holds at least `at_least` bytes.
  void Drain(std::size_t at_least = 0) {
    if (buffer_.size() < at_least || buffer_.empty()) {
      return;
    }
    if (!failed_ && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) !=
                        buffer_.size()) {
      failed_ = true;
      errno_ = errno;
    }
    drained_ += buffer_.size();
    buffer_.clear();
  }

  bool failed() const { return failed_; }
  std::uint64_t bytes() const { return drained_ + buffer_.size(); }

  // Writes out the buffer and closes the file. True iff every write and the
  // close succeeded; otherwise fills *err.
  bool Close(std::string* err) {
    Drain();
    std::FILE* file = file_;
    file_ = nullptr;
    if (std::fclose(file) != 0 && !failed_) {
      failed_ = true;
      errno_ = errno;
    }
    if (failed_) {
      *err = "write: " + path_ + ": " + std::strerror(errno_);
      return false;
    }
    return true;
  }

 private:
  std::FILE* file_ = nullptr;
  std::string path_;
  std::string buffer_;
  std::uint64_t drained_ = 0;
  bool failed_ = false;
  int errno_ = 0;
};

// Generated text is written out in pieces of about this size.
constexpr std::size_t kDrainSize = std::size_t{8} << 20;

struct Options {
  const char* out = nullptr;
  std::uint64_t seed = 1;
  double size_mb = 0;
  std::uint64_t blocks = 0;
  ExportMix mix = ExportMix::kTypical;
  bool crlf = false;
  std::uint64_t units = 0;
  std::uint64_t dates = 7;
  std::uint64_t block_events = 0;
  std::uint64_t block_segments = 0;
};

// True iff `text` is a decimal number from `min` to `max`.
bool ParseCount(const char* text, std::uint64_t min, std::uint64_t max,
                std::uint64_t* value) {
  if (*text < '0' || *text > '9') {
    return false;
  }
  errno = 0;
  char* end = nullptr;
  const unsigned long long parsed = std::strtoull(text, &end, 10);
  if (errno != 0 || *end != '\0' || parsed < min || parsed > max) {
    return false;
  }
  *value = parsed;
  return true;
}

// True iff the command line is complete and valid; otherwise fills *err.
bool ParseOptions(int argc, char** argv, Options* options, std::string* err) {
  bool have_size = false;
  bool have_blocks = false;
  bool have_one_block = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view flag = argv[i];
    if (flag == "--crlf") {
      options->crlf = true;
      continue;
    }
    if (i + 1 >= argc) {
      *err = "unknown option or missing value: " + std::string(flag);
      return false;
    }
    const char* value = argv[++i];
    bool ok = true;
    if (flag == "--out") {
      options->out = value;
    } else if (flag == "--seed") {
      ok = ParseCount(value, 0, UINT64_MAX, &options->seed);
    } else if (flag == "--blocks") {
      ok = ParseCount(value, 1, UINT64_MAX, &options->blocks);
      have_blocks = true;
    } else if (flag == "--one-block-events") {
      ok = ParseCount(value, 3, 20000000, &options->block_events);
      have_one_block = true;
    } else if (flag == "--one-block-segments") {
      ok = ParseCount(value, 1, 5000000, &options->block_segments);
      have_one_block = true;
    } else if (flag == "--units") {
      ok = ParseCount(value, 1, 99999, &options->units);
    } else if (flag == "--dates") {
      ok = ParseCount(value, 1, 36500, &options->dates);
    } else if (flag == "--size-mb") {
      char* end = nullptr;
      options->size_mb = std::strtod(value, &end);
      ok = *value != '\0' && *end == '\0' && options->size_mb > 0 &&
           options->size_mb <= 1e7;
      have_size = true;
    } else if (flag == "--mix") {
      const std::string_view name = value;
      ok = name == "typical" || name == "location-heavy" ||
           name == "places-5000";
      options->mix = name == "typical"          ? ExportMix::kTypical
                     : name == "location-heavy" ? ExportMix::kLocationHeavy
                                                : ExportMix::kPlaces5000;
    } else {
      *err = "unknown option: " + std::string(flag);
      return false;
    }
    if (!ok) {
      *err = "bad value for " + std::string(flag) + ": " + value;
      return false;
    }
  }
  if (options->out == nullptr) {
    *err = "--out is required";
    return false;
  }
  if (int{have_size} + int{have_blocks} + int{have_one_block} != 1) {
    *err = "give exactly one of --size-mb, --blocks and --one-block-*";
    return false;
  }
  if (have_one_block) {
    options->blocks = 1;
  }
  return true;
}

int Run(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fwrite(kUsage.data(), 1, kUsage.size(), stdout);
      return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
    }
  }
  Options options;
  std::string err;
  if (!ParseOptions(argc, argv, &options, &err)) {
    std::fprintf(stderr, "gen_export: %s (see --help)\n", err.c_str());
    return 2;
  }
  ExportFile out;
  if (!out.Open(options.out, &err)) {
    std::fprintf(stderr, "gen_export: %s\n", err.c_str());
    return 1;
  }
  ExportShape shape;
  shape.mix = options.mix;
  shape.seed = options.seed;
  shape.units = static_cast<int>(options.units);
  shape.dates = static_cast<int>(options.dates);
  shape.crlf = options.crlf;
  shape.events_per_block = static_cast<int>(options.block_events);
  shape.segments_per_block = static_cast<int>(options.block_segments);
  ExportGenerator generator(shape);
  const auto target_bytes =
      static_cast<std::uint64_t>(std::ceil(options.size_mb * 1e6));
  for (std::uint64_t block = 0; !out.failed(); ++block) {
    if (options.blocks != 0 ? block >= options.blocks
                            : out.bytes() >= target_bytes) {
      break;
    }
    generator.AppendBlock(out.buffer());
    out.Drain(kDrainSize);
  }
  if (!out.Close(&err)) {
    std::fprintf(stderr, "gen_export: %s\n", err.c_str());
    return 1;
  }
  return 0;
}

}  // namespace
}  // namespace tallora

int main(int argc, char** argv) {
  try {
    return tallora::Run(argc, argv);
  } catch (const std::bad_alloc&) {
    std::fputs("gen_export: out of memory\n", stderr);
    return 1;
  }
}
