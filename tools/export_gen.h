// Synthetic telematics exports for load and layout tests, byte for byte the
// same for the same shape on every platform.
#ifndef TALLORA_TOOLS_EXPORT_GEN_H_
#define TALLORA_TOOLS_EXPORT_GEN_H_

#include <cstdint>
#include <memory>
#include <string>

namespace tallora {

enum class ExportMix {
  // 30-50 events per block, about a tenth of them location moves over each
  // unit's own round of 5 places; about 4.3 kB per block.
  kTypical,
  // 150-250 events per block, 80% of them location moves over all 48
  // places; about 12 kB per block.
  kLocationHeavy,
  // As location-heavy, but the moves run among 5000 places whose names have
  // the lengths of the 48, so blocks keep their size and line count while
  // each date gets node files for thousands of places.
  kPlaces5000,
};

struct ExportShape {
  ExportMix mix = ExportMix::kTypical;
  std::uint64_t seed = 1;
  // Units cycled over; 0 means the mix's own count (40 typical, 400
  // otherwise).
  int units = 0;
  // Consecutive dates from 06/06/2022.
  int dates = 7;
  bool crlf = false;
  // When not 0, every block holds this many events, in the shares of the
  // location-heavy mix (80% location moves, about 1.3% PTO events, 10%
  // periodic, 1% routes), moving over the places the mix moves over.
  int events_per_block = 0;
  // When not 0, every block holds this many segments.
  int segments_per_block = 0;
};

// Writes an export block by block. Block b is unit b % units on date
// (b / units) % dates: a marker line, the 207 header lines, 1 to 6 segments
// of 37 lines, an "Admin N" line and N two-line events, each line shorter
// than its read limit minus one even with CR LF line ends. Each unit's
// odometer and fuel count keep rising from one of its blocks to the next, and
// event timestamps rise strictly within a block and stay on its date. A block
// with more events than its shift has seconds (events_per_block) has
// timestamps that never fall instead, and segments too many for ten seconds
// each (segments_per_block) share the shift's seconds evenly.
class ExportGenerator {
 public:
  // REQUIRES: shape.units >= 0, shape.dates >= 1,
  // shape.events_per_block == 0 or >= 3, shape.segments_per_block >= 0.
  explicit ExportGenerator(const ExportShape& shape);
  ~ExportGenerator();
  ExportGenerator(const ExportGenerator&) = delete;
  ExportGenerator& operator=(const ExportGenerator&) = delete;

  // Appends the next block to `*out`.
  void AppendBlock(std::string* out);

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

// The first `blocks` blocks of the export of `shape`.
std::string GenerateExport(const ExportShape& shape, std::uint64_t blocks);

}  // namespace tallora

#endif  // TALLORA_TOOLS_EXPORT_GEN_H_
