// 32-bit sums and differences that wrap modulo 2^32, without signed overflow.
#ifndef TALLORA_TEXT_WRAPPING_H_
#define TALLORA_TEXT_WRAPPING_H_

#include <cstdint>

namespace tallora {

constexpr std::int32_t WrappingAdd(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) +
                                   static_cast<std::uint32_t>(b));
}

constexpr std::int32_t WrappingSub(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) -
                                   static_cast<std::uint32_t>(b));
}

constexpr std::int32_t WrappingMul(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) *
                                   static_cast<std::uint32_t>(b));
}

}  // namespace tallora

#endif  // TALLORA_TEXT_WRAPPING_H_
