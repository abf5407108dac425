// The read side alone: reads an export block by block and computes every
// block's results, as the tool does, but writes no report file. Prints the
// blocks read, a checksum of the results and the time taken, so that the
// reading can be measured apart from the writing:
//   tallora_read_side EXPORT
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "compute/grid_sums.h"
#include "compute/node_table.h"
#include "compute/pto_account.h"
#include "compute/segment_totals.h"
#include "input/line_reader.h"
#include "input/section_readers.h"

int main(int argc, char** argv) {
  using namespace tallora;
  if (argc != 2) {
    std::fputs("usage: tallora_read_side EXPORT\n", stderr);
    return 2;
  }
  std::FILE* file = std::fopen(argv[1], "rb");
  if (file == nullptr) {
    std::perror(argv[1]);
    return 1;
  }
  const auto start = std::chrono::steady_clock::now();
  LineReader in(file);
  auto header = std::make_unique<BlockHeader>();
  auto nodes = std::make_unique<NodeTable>();
  std::uint64_t blocks = 0;
  std::uint64_t checksum = 0;
  while (ReadBlockHeader(&in, header.get())) {
    ++blocks;
    SegmentTotals totals;
    SegmentSpan span;
    SegmentReader segments(&in);
    SegmentRecord segment;
    std::uint64_t dhe_bytes = 0;
    while (segments.Next(&segment)) {
      AddSegment(segment, &totals);
      AddSegment(segment, &span);
      dhe_bytes += segment.dhe_text_1.size() + segment.dhe_text_2.size();
    }
    PtoAccount pto;
    nodes->Clear();
    EventReader events(&in, segments.event_count());
    EventRecord event;
    while (events.Next(&event)) {
      pto.Add(event);
      nodes->Add(event, &in.notes());
    }
    const GridSums grid = SumDurationGrid(*header);
    checksum = checksum * 31 + dhe_bytes + totals.time_a.size() +
               span.end_text.size() + nodes->rows().size() +
               static_cast<std::uint32_t>(pto.totals().seconds) +
               static_cast<std::uint32_t>(grid.sum_2);
  }
  const std::chrono::duration<double> elapsed =
      std::chrono::steady_clock::now() - start;
  std::printf("%llu blocks, checksum %llu, %.3f s\n",
              static_cast<unsigned long long>(blocks),
              static_cast<unsigned long long>(checksum), elapsed.count());
  return std::fclose(file) == 0 ? 0 : 1;
}
