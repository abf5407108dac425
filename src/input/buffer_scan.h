// Searches of the read buffer for the bytes that end lines and fields: line
// feeds found for a whole buffer at once, field ends where a field lies.
#ifndef TALLORA_INPUT_BUFFER_SCAN_H_
#define TALLORA_INPUT_BUFFER_SCAN_H_

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define TALLORA_BUFFER_SCAN_SSE2 1
#endif

namespace tallora {

// Bytes past the end of a buffer's data that may be looked at (and then
// ignored): the field searches take 16 at a time, and a header field is
// copied into its slot a slot's width at once. A buffer passed to them has
// this many more bytes allocated, all set.
inline constexpr std::size_t kScanPadding = 64;

// The line feeds of a buffer, found in one pass over the whole buffer and
// kept as one bit per byte, so that finding a line's end is a few word
// operations however short the lines are.
class LineFeedIndex {
 public:
  // Indexes data[0, size), replacing the index of an earlier buffer.
  void Build(const char* data, std::size_t size);

  // The offset from `from` of the first line feed in [from, from + span), or
  // `span` when there is none.
  // REQUIRES: from + span <= the size given to the last Build().
  std::size_t Find(std::size_t from, std::size_t span) const {
    std::size_t word = from / 64;
    std::uint64_t bits = words_[word] >> (from % 64);
    std::size_t base = 0;  // offset from `from` of bit 0 of `bits`
    if (bits == 0) {
      base = 64 - from % 64;
      while (true) {
        if (base >= span) {
          return span;
        }
        bits = words_[++word];
        if (bits != 0) {
          break;
        }
        base += 64;
      }
    }
    const std::size_t found =
        base + static_cast<std::size_t>(std::countr_zero(bits));
    return found < span ? found : span;
  }

 private:
  // One word more than the bytes need, so that Find() may look at the word
  // of a position just past the end.
  std::vector<std::uint64_t> words_ = std::vector<std::uint64_t>(1);
};

namespace buffer_scan_internal {

#ifdef TALLORA_BUFFER_SCAN_SSE2
// The offset of the first byte of data[0, size) that `marks` marks, or
// `size` when there is none: `marks` takes 16 bytes and gives 0xff for each
// byte it marks.
// REQUIRES: data[size, size + kScanPadding) may be read.
template <typename Marks>
inline std::size_t FirstMarked(const char* data, std::size_t size,
                               Marks marks) {
  for (std::size_t at = 0; at < size; at += 16) {
    const __m128i bytes =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
    const auto mask = static_cast<unsigned>(_mm_movemask_epi8(marks(bytes)));
    if (mask != 0) {
      const std::size_t found =
          at + static_cast<std::size_t>(std::countr_zero(mask));
      return found < size ? found : size;
    }
  }
  return size;
}
#else
// The offset of the first byte of data[0, size) that `marks` marks, or
// `size` when there is none.
template <typename Marks>
inline std::size_t FirstMarked(const char* data, std::size_t size,
                               Marks marks) {
  for (std::size_t at = 0; at < size; ++at) {
    if (marks(data[at])) {
      return at;
    }
  }
  return size;
}
#endif

}  // namespace buffer_scan_internal

// The offset of the first byte of data[0, size) that ends a field (a
// carriage return, a line feed or a NUL byte), or `size` when there is none.
// REQUIRES: data[size, size + kScanPadding) may be read.
inline std::size_t FindFieldEnd(const char* data, std::size_t size) {
#ifdef TALLORA_BUFFER_SCAN_SSE2
  return buffer_scan_internal::FirstMarked(data, size, [](__m128i bytes) {
    return _mm_or_si128(
        _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n')),
                     _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r'))),
        _mm_cmpeq_epi8(bytes, _mm_setzero_si128()));
  });
#else
  return buffer_scan_internal::FirstMarked(data, size, [](char byte) {
    return byte == '\n' || byte == '\r' || byte == '\0';
  });
#endif
}

// The offset of the first NUL byte of data[0, size), or `size` when there is
// none.
// REQUIRES: data[size, size + kScanPadding) may be read.
inline std::size_t FindNul(const char* data, std::size_t size) {
#ifdef TALLORA_BUFFER_SCAN_SSE2
  return buffer_scan_internal::FirstMarked(data, size, [](__m128i bytes) {
    return _mm_cmpeq_epi8(bytes, _mm_setzero_si128());
  });
#else
  return buffer_scan_internal::FirstMarked(
      data, size, [](char byte) { return byte == '\0'; });
#endif
}

}  // namespace tallora

#endif  // TALLORA_INPUT_BUFFER_SCAN_H_
