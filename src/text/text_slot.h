// Fixed-width text field as read from the export, and the rule of what such
// a field keeps of a line.
#ifndef TALLORA_TEXT_TEXT_SLOT_H_
#define TALLORA_TEXT_TEXT_SLOT_H_

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>
#include <type_traits>

namespace tallora {

// What a slot of width `width` (its terminator included) keeps of `text`:
// at most width-1 bytes, and nothing from the first NUL byte on. A line may
// bring more than its slot holds; the rest is dropped.
constexpr std::string_view SlotKeeps(std::string_view text, std::size_t width) {
  text = text.substr(0, width == 0 ? 0 : width - 1);
  return text.substr(0, text.find('\0'));
}

// Text of at most kWidth-1 bytes, always NUL-terminated, never heap-allocated.
// kWidth is the field's width with its terminator, as the export layout
// gives it. Nothing is ever written outside the slot.
template <std::size_t kWidth>
class TextSlot {
  static_assert(kWidth >= 1);

 public:
  TextSlot() = default;
  explicit TextSlot(std::string_view text) { Assign(text); }

  // Stores what the slot keeps of `text` (SlotKeeps).
  void Assign(std::string_view text) { AssignNulFree(SlotKeeps(text, kWidth)); }

  // Stores `text`, which holds no NUL byte, up to the slot's capacity: as
  // Assign without looking for a NUL again, for texts already cut at one.
  void AssignNulFree(std::string_view text) {
    const std::size_t size = std::min(text.size(), capacity());
    std::copy_n(text.data(), size, data_);
    data_[size] = '\0';
    size_ = size;
  }

  // Stores data[0, size), which holds no NUL byte, up to the slot's
  // capacity, copying a whole capacity's worth of bytes at once.
  // REQUIRES: data[0, capacity()) may be read.
  void AssignFromPadded(const char* data, std::size_t size) {
    std::memcpy(data_, data, capacity());
    size_ = std::min(size, capacity());
    data_[size_] = '\0';
  }

  void Clear() { Assign({}); }

  std::string_view view() const { return {data_, size_}; }
  const char* c_str() const { return data_; }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  static constexpr std::size_t width() { return kWidth; }
  static constexpr std::size_t capacity() { return kWidth - 1; }

 private:
  char data_[kWidth] = {};
  std::size_t size_ = 0;
};

template <std::size_t kWidth>
bool operator==(const TextSlot<kWidth>& slot, std::string_view text) {
  return slot.view() == text;
}

// A duration written HH:MM:SS, HHH:MM:SS or HHHH:MM:SS.
using DurationText = TextSlot<15>;

// True iff `text` has `c` at position `pos`; a position beyond the end of the
// text never matches.
constexpr bool CharAt(std::string_view text, std::size_t pos, char c) {
  return pos < text.size() && text[pos] == c;
}

static_assert(std::is_trivially_copyable_v<TextSlot<20>>);

}  // namespace tallora

#endif  // TALLORA_TEXT_TEXT_SLOT_H_
