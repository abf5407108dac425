#include "input/buffer_scan.h"

namespace tallora {

void LineFeedIndex::Build(const char* data, std::size_t size) {
  const std::size_t words = size / 64 + 1;
  if (words_.size() < words) {
    words_.resize(words);
  }
  std::size_t word = 0;
  std::size_t at = 0;
#ifdef TALLORA_BUFFER_SCAN_SSE2
  const __m128i feed = _mm_set1_epi8('\n');
  for (; at + 64 <= size; at += 64, ++word) {
    std::uint64_t bits = 0;
    for (std::size_t part = 0; part < 4; ++part) {
      const __m128i bytes = _mm_loadu_si128(
          reinterpret_cast<const __m128i*>(data + at + 16 * part));
      bits |= std::uint64_t{static_cast<unsigned>(
                  _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, feed)))}
              << (16 * part);
    }
    words_[word] = bits;
  }
#endif
  for (; word < words; ++word) {
    std::uint64_t bits = 0;
    for (unsigned bit = 0; bit < 64 && at < size; ++bit, ++at) {
      if (data[at] == '\n') {
        bits |= std::uint64_t{1} << bit;
      }
    }
    words_[word] = bits;
  }
}

}  // namespace tallora
